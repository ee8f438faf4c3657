# shellcheck shell=bash
# Making the benchmark's data files, once: each size's undamaged original, its damaged copy and
# the floor's SQL live in work/files/<rows>/ and are reused while their recipe is unchanged.

readonly KEY=QHWUNK5136

# The same damage at every size: Null-key rows (1 % of a table) in four tables, which also lose all
# their indexes; a missing index in three more; an incomplete index in three more.
damage_actions() {
  local nulls=$(( $1 / 100 ))
  echo null-keys Data "$nulls" null-keys T000 "$nulls" null-keys T014 "$nulls" null-keys T043 "$nulls" \
       drop-index T010 Key01 drop-index T040 Key02 drop-index T090 Key02 \
       strip-index T020 Key00 strip-index T024 Key02 strip-index T041 Key01
}

recipe_of() {
  printf 'qndb create original.mdb design --rows %s --seed 1\nqndb damage damaged.mdb %s %s\n' \
    "$1" "$KEY" "$(damage_actions "$1")"
}

# Prints the folder holding original.mdb, damaged.mdb and floor.sql for a file of `rows` rows per table.
ensure_files() {
  local rows=$1 folder="$WORK/files/$1"
  if [ -f "$folder/recipe" ] && [ "$(cat "$folder/recipe")" = "$(recipe_of "$rows")" ]; then
    echo "$folder"
    return
  fi
  echo "bench: making the files of $rows rows per table (once)" >&2
  local making="$folder.making"
  rm -rf "$making" "$folder"
  mkdir -p "$making"
  "$QNDB" create "$making/original.mdb" design --rows "$rows" --seed 1
  cp "$making/original.mdb" "$making/damaged.mdb"
  # shellcheck disable=SC2046  # the actions are words
  "$QNDB" damage "$making/damaged.mdb" "$KEY" $(damage_actions "$rows")
  "$SQLITE3" -readonly "$making/damaged.mdb" "ATTACH 'file:$making/original.mdb?mode=ro' AS ref" \
    ".read $LIB/floor_sql.sql" >"$making/floor.sql"
  recipe_of "$rows" >"$making/recipe"
  # Only complete sets are ever reused.
  mv "$making" "$folder"
  echo "$folder"
}
