# shellcheck shell=bash
# Making the benchmark's data files, once: each size's undamaged original lives in
# work/files/<rows>/, and each damage profile's damaged copy and floor's SQL in
# work/files/<rows>/<profile>/; each is reused while its recipe is unchanged.

readonly KEY=QHWUNK5136

# The damage of a profile, the same at every size. A Null-key row stands for 1 % of its table;
# null-keys also deletes the table's indexes, as a damaged file loses them.
#   heavy: Null keys in four tables; a missing index in three more; an incomplete one in three more.
#   light, the common case: Null keys in two tables; a missing index in two more; an incomplete
#          one in another.
damage_actions() {
  local profile=$1 nulls=$(( $2 / 100 ))
  case $profile in
    heavy)
      echo null-keys Data "$nulls" null-keys T000 "$nulls" null-keys T014 "$nulls" null-keys T043 "$nulls" \
           drop-index T010 Key01 drop-index T040 Key02 drop-index T090 Key02 \
           strip-index T020 Key00 strip-index T024 Key02 strip-index T041 Key01 ;;
    light)
      echo null-keys T010 "$nulls" null-keys T040 "$nulls" \
           drop-index T000 Key03 drop-index T043 Key01 \
           strip-index T014 Key02 ;;
  esac
}

original_recipe() {
  printf 'qndb create original.mdb design --rows %s --seed 1\n' "$1"
}

damage_recipe() {
  printf 'qndb damage damaged.mdb %s %s\n' "$KEY" "$(damage_actions "$1" "$2")"
}

# Runs `make FOLDER` into a fresh FOLDER.making and moves it to FOLDER, unless FOLDER/recipe is
# already `recipe`: only complete sets are ever reused.
made_once() {
  local folder=$1 recipe=$2 make=$3
  [ -f "$folder/recipe" ] && [ "$(cat "$folder/recipe")" = "$recipe" ] && return
  rm -rf "$folder.making" "$folder"
  mkdir -p "$folder.making"
  "$make" "$folder.making" "${@:4}"
  echo "$recipe" >"$folder.making/recipe"
  mv "$folder.making" "$folder"
}

make_original() {
  echo "bench: making the original of $2 rows per table (once)" >&2
  "$QNDB" create "$1/original.mdb" design --rows "$2" --seed 1 >&2
}

make_damaged() {
  local making=$1 profile=$2 rows=$3 original=$4
  echo "bench: damaging the file of $rows rows per table, $profile profile (once)" >&2
  cp "$original" "$making/damaged.mdb"
  # shellcheck disable=SC2046  # the actions are words
  "$QNDB" damage "$making/damaged.mdb" "$KEY" $(damage_actions "$profile" "$rows") >&2
  "$SQLITE3" -readonly "$making/damaged.mdb" "ATTACH 'file:$original?mode=ro' AS ref" \
    ".read $LIB/floor_sql.sql" >"$making/floor.sql"
}

# Prints the folder holding damaged.mdb and floor.sql for a file of `rows` rows per table damaged
# as `profile` says. A new original takes its damaged copies with it.
ensure_files() {
  local profile=$1 rows=$2 base="$WORK/files/$2"
  made_once "$base" "$(original_recipe "$rows")" make_original "$rows"
  made_once "$base/$profile" "$(damage_recipe "$profile" "$rows")" make_damaged "$profile" "$rows" "$base/original.mdb"
  echo "$base/$profile"
}

# The number of indexes the floor makes: what a repair of the profile has to make.
indexes_made() {
  grep -c '^CREATE UNIQUE INDEX' "$1/floor.sql" || true
}
