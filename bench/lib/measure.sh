# shellcheck shell=bash
# One timed run of one contender on a fresh copy of the damaged file. Appends to $SAMPLES a line
# "case <tab> contender <tab> round <tab> wall seconds <tab> peak RSS in KiB <tab> user seconds <tab>
# system seconds" (the RSS of the largest process, the CPU time of all of them, threads included).

# The contender's command line, working on run/source.mdb; `folder` holds the floor's SQL.
command_of() {
  local contender=$1 folder=$2
  case $contender in
    repair) COMMAND=("$TOOL/QNrepair" "Data Source=$RUN/source.mdb;Database Password=$KEY") ;;
    floor) COMMAND=("$LIB/floor" "$RUN/source.mdb" "$folder/floor.sql") ;;
    cp) COMMAND=(cp "$RUN/source.mdb" "$RUN/copy.mdb") ;;
  esac
}

sample() {
  local id=$1 folder=$2 contender=$3 round=$4
  rm -rf "$RUN"
  mkdir -p "$RUN"
  cp "$folder/damaged.mdb" "$RUN/source.mdb"
  command_of "$contender" "$folder"
  # The previous run's writes go to disk now, not during this one.
  sync
  local start end
  start=$EPOCHREALTIME
  if ! /usr/bin/time -f '%M %U %S' -o "$RUN/usage" "${COMMAND[@]}" 2>"$RUN/err" ||
     { [ "$contender" = repair ] && [ ! -e "$TOOL/QNrepair.dat" ]; }; then
    echo "bench: $contender failed on $id:" >&2
    cat "$RUN/err" "$TOOL/QNrepair.txt" 2>/dev/null >&2
    return 1
  fi
  end=$EPOCHREALTIME
  printf '%s\t%s\t%s\t%s\t%s\n' "$id" "$contender" "$round" "$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f", b - a }')" \
    "$(tail -1 "$RUN/usage" | tr ' ' '\t')" >>"$SAMPLES"
}
