# The medians of a run, one line per case (a profile at a size), each profile's cases together
# in the order they came (so that a plot draws one line through each profile's sizes):
# "profile <tab> size label <tab> file MB <tab> indexes made <tab> runs <tab> repair s <tab> floor s
# <tab> cp s <tab> repair/floor <tab> repair/cp <tab> repair peak MB <tab> floor peak MB".
# Input: the cases ("case <tab> profile <tab> size label <tab> bytes <tab> indexes made", in order),
# then the samples ("case <tab> contender <tab> round <tab> seconds <tab> KiB").
# A ratio is the median of the rounds' ratios: the contenders of one round ran back to back, so a
# slow spell of the machine weighs on both sides of each ratio alike.
BEGIN { FS = OFS = "\t" }

FNR == NR {
  if (!($2 in seen)) { seen[$2] = 1; profiles[++profileCount] = $2 }
  profile[$1] = $2; label[$1] = $3; bytes[$1] = $4; indexes[$1] = $5; order[++cases] = $1
  next
}

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

# The median over the rounds of a case of repair's time over the other contender's.
function ratio(id, other,    key, r) {
  key = id SUBSEP "ratio"; count[key] = 0
  for (r = 1; (id, r) in rounds; r++)
    quotient[key, ++count[key]] = inRound[id SUBSEP "repair", r] / inRound[id SUBSEP other, r]
  return median(quotient, key)
}

function megabytes(key) { return sprintf("%.1f", median(kib, key) * 1024 / 1e6) }

END {
  for (p = 1; p <= profileCount; p++) for (c = 1; c <= cases; c++) {
    id = order[c]
    if (profile[id] != profiles[p]) continue
    print profile[id], label[id], sprintf("%.1f", bytes[id] / 1e6), indexes[id], count[id SUBSEP "repair"],
          sprintf("%.4f", median(seconds, id SUBSEP "repair")), sprintf("%.4f", median(seconds, id SUBSEP "floor")),
          sprintf("%.4f", median(seconds, id SUBSEP "cp")), sprintf("%.3f", ratio(id, "floor")),
          sprintf("%.2f", ratio(id, "cp")), megabytes(id SUBSEP "repair"), megabytes(id SUBSEP "floor")
  }
}
