# The medians of a run, one line per case (a profile at a size), each profile's cases together
# in the order they came (so that a plot draws one line through each profile's sizes):
# "profile <tab> size label <tab> file MB <tab> indexes made <tab> runs <tab> repair s <tab> floor s
# <tab> cp s <tab> repair/floor <tab> repair/cp <tab> repair peak MB <tab> floor peak MB <tab>
# repair CPU s <tab> floor CPU s <tab> repair/floor CPU", then the spread over the runs (lowest
# <tab> highest) of: repair/floor, repair s, floor s, repair/floor CPU, repair CPU s, repair peak MB.
# Input: the cases ("case <tab> profile <tab> size label <tab> bytes <tab> indexes made", in order),
# then the samples ("case <tab> contender <tab> round <tab> seconds <tab> KiB <tab> user s <tab>
# system s"). CPU time is user and system time together.
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
  seconds[key, n] = $4; kib[key, n] = $5; cpu[key, n] = $6 + $7
  inRound[key, $3] = $4; cpuInRound[key, $3] = $6 + $7; rounds[$1, $3] = 1
}

# values[key, 1..count[key]] in increasing order, into sorted[1..count[key]].
function sortValues(values, key, sorted,    n, i, j, v) {
  n = count[key]
  for (i = 1; i <= n; i++) {
    v = values[key, i]
    for (j = i - 1; j >= 1 && sorted[j] > v; j--) sorted[j + 1] = sorted[j]
    sorted[j + 1] = v
  }
  return n
}

function median(values, key,    n, sorted) {
  n = sortValues(values, key, sorted)
  return n % 2 ? sorted[(n + 1) / 2] : (sorted[n / 2] + sorted[n / 2 + 1]) / 2
}

function lowest(values, key,    sorted) { sortValues(values, key, sorted); return sorted[1] }
function highest(values, key,    sorted) { return sorted[sortValues(values, key, sorted)] }

# The rounds' ratios of repair's figure over the other contender's, into quotient[id "ratio" which].
function ratios(id, other, which, figures,    key, r) {
  key = id SUBSEP "ratio" which; count[key] = 0
  for (r = 1; (id, r) in rounds; r++)
    quotient[key, ++count[key]] = figures[id SUBSEP "repair", r] / figures[id SUBSEP other, r]
  return key
}

function megabytes(value) { return sprintf("%.1f", value * 1024 / 1e6) }

END {
  for (p = 1; p <= profileCount; p++) for (c = 1; c <= cases; c++) {
    id = order[c]
    if (profile[id] != profiles[p]) continue
    repair = id SUBSEP "repair"; floor = id SUBSEP "floor"
    wall = ratios(id, "floor", "wall", inRound); toCp = ratios(id, "cp", "cp", inRound)
    cpuRatio = ratios(id, "floor", "cpu", cpuInRound)
    print profile[id], label[id], sprintf("%.1f", bytes[id] / 1e6), indexes[id], count[repair],
          sprintf("%.4f", median(seconds, repair)), sprintf("%.4f", median(seconds, floor)),
          sprintf("%.4f", median(seconds, id SUBSEP "cp")), sprintf("%.3f", median(quotient, wall)),
          sprintf("%.2f", median(quotient, toCp)), megabytes(median(kib, repair)), megabytes(median(kib, floor)),
          sprintf("%.3f", median(cpu, repair)), sprintf("%.3f", median(cpu, floor)), sprintf("%.3f", median(quotient, cpuRatio)),
          sprintf("%.3f", lowest(quotient, wall)), sprintf("%.3f", highest(quotient, wall)),
          sprintf("%.4f", lowest(seconds, repair)), sprintf("%.4f", highest(seconds, repair)),
          sprintf("%.4f", lowest(seconds, floor)), sprintf("%.4f", highest(seconds, floor)),
          sprintf("%.3f", lowest(quotient, cpuRatio)), sprintf("%.3f", highest(quotient, cpuRatio)),
          sprintf("%.3f", lowest(cpu, repair)), sprintf("%.3f", highest(cpu, repair)),
          megabytes(lowest(kib, repair)), megabytes(highest(kib, repair))
  }
}
