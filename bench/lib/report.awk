# The table of medians and the targets. Input: the sizes ("rows <tab> label <tab> bytes", in
# order), then the samples ("rows <tab> contender <tab> round <tab> seconds <tab> KiB").
# A ratio is the median of the rounds' ratios: the contenders of one round ran back to back, so
# a slow spell of the machine weighs on both sides of each ratio alike.
# Exit status 1 when a target is missed.
BEGIN { FS = "\t"; missed = 0 }

FNR == NR { label[$1] = $2; bytes[$1] = $3; order[++sizes] = $1; next }

{
  key = $1 SUBSEP $2; n = ++count[key]
  seconds[key, n] = $4; kib[key, n] = $5; inRound[key, $3] = $4; rounds[$1, $3] = 1
}

# The median of values[key, 1..count[key]].
function median(values, key,    n, i, j, v, sorted) {
  n = count[key]
  for (i = 1; i <= n; i++) {
    v = values[key, i]
    for (j = i - 1; j >= 1 && sorted[j] > v; j--) sorted[j + 1] = sorted[j]
    sorted[j + 1] = v
  }
  return n % 2 ? sorted[(n + 1) / 2] : (sorted[n / 2] + sorted[n / 2 + 1]) / 2
}

# The median over the rounds of rows of repair's time over the other contender's.
function ratio(rows, other,    key, r) {
  key = rows SUBSEP "ratio"; count[key] = 0
  for (r = 1; (rows, r) in rounds; r++)
    quotient[key, ++count[key]] = inRound[rows SUBSEP "repair", r] / inRound[rows SUBSEP other, r]
  return median(quotient, key)
}

function verdict(ok) { if (!ok) missed = 1; return ok ? "met" : "MISSED" }

END {
  printf "%-8s %8s %5s %9s %8s %8s %8s %8s %9s %9s\n", "size", "file MB", "runs", "repair s", "floor s", "cp s",
         "r/floor", "r/cp", "repair MB", "floor MB"
  for (s = 1; s <= sizes; s++) {
    r = order[s]
    wall[r] = median(seconds, r SUBSEP "repair"); overFloor[r] = ratio(r, "floor")
    peak[r] = median(kib, r SUBSEP "repair") * 1024 / 1e6
    printf "%-8s %8.1f %5d %9.3f %8.3f %8.3f %8.2f %8.1f %9.1f %9.1f\n", label[r], bytes[r] / 1e6,
           count[r SUBSEP "repair"], wall[r], median(seconds, r SUBSEP "floor"), median(seconds, r SUBSEP "cp"),
           overFloor[r], ratio(r, "cp"), peak[r], median(kib, r SUBSEP "floor") * 1024 / 1e6
  }
  print ""
  for (s = 1; s <= sizes; s++) {
    r = order[s]
    if (s == 1)
      printf "target  %-6s repaired in under 1 s, start-up and logon included: %.3f s  %s\n", label[r], wall[r],
             verdict(wall[r] < 1.0)
    else
      printf "target  %-6s repair/floor <= 1.3: %.2f  %s\n", label[r], overFloor[r], verdict(overFloor[r] <= 1.3)
    printf "target  %-6s repair peak memory <= 160 MB: %.1f MB  %s\n", label[r], peak[r], verdict(peak[r] <= 160)
  }
  exit missed
}
