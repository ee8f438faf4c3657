# shellcheck shell=bash
# What a repaired file holds, as text to compare: schema, index bookkeeping (without the
# collection order), stored settings and the rows of every table.

outcome_of() {
  local file=$1
  "$SQLITE3" -readonly "$file" \
    "SELECT type, name, tbl_name, sql FROM sqlite_schema ORDER BY type, name;" \
    "SELECT table_name, index_name, sqlite_name, is_primary, required, ignore_nulls FROM _qn_index ORDER BY sqlite_name;" \
    "SELECT key, value FROM _qn_meta ORDER BY key;" \
    "PRAGMA application_id;" "PRAGMA user_version;"
  "$SQLITE3" -readonly "$file" \
    "SELECT 'SELECT ' || quote(name) || ', count(*), sum(length(Payload)) FROM \"' || name || '\";'
       FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE '\_qn\_%' ESCAPE '\' ORDER BY name;" |
    "$SQLITE3" -readonly "$file"
}

# Fails unless the repair and the floor leave `damaged` in the same state (not timed).
check_same_outcome() {
  local damaged=$1 sql=$2 check="$WORK/check"
  rm -rf "$check"
  mkdir -p "$check"
  cp "$damaged" "$check/repaired.mdb"
  cp "$damaged" "$check/floor.mdb"
  if ! "$TOOL/QNrepair" "Data Source=$check/repaired.mdb;Database Password=$KEY" || [ ! -e "$TOOL/QNrepair.dat" ]; then
    echo "bench: the repair of $damaged failed:" >&2
    cat "$TOOL/QNrepair.txt" >&2
    return 1
  fi
  "$LIB/floor" "$check/floor.mdb" "$sql"
  if ! diff <(outcome_of "$check/repaired.mdb") <(outcome_of "$check/floor.mdb") >"$check/diff"; then
    echo "bench: the floor's SQL does not do what the repair does:" >&2
    head -40 "$check/diff" >&2
    return 1
  fi
  rm -rf "$check"
}
