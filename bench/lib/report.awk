# The table of medians of each profile, with the spread of each figure over the runs, and whether
# each target is met in every run. Input: medians.awk's output; `busy` set to 1 when a core was
# kept busy. Exit status 1 when a target is missed.
BEGIN {
  FS = "\t"; missed = 0
  smallestSeconds = 0.15   # the smallest file repaired in under this, start-up and logon included
  overFloor = 1.25         # repair/floor at every larger size, in every round
  quietMedian = 1.0        # ... and the median of the rounds below this when no core is kept busy
  overFloorCpu = 1.30      # the repair's CPU time (user and system) over the floor's, in every round
  peakMB = 160             # repair's peak memory at every size ...
  growth = 1.10            # ... and at the largest size at most this times that at the smallest
}

{
  p = $1
  if (!(p in sizes)) order[++profiles] = p
  s = ++sizes[p]
  line[p, s] = $0; label[p, s] = $2; indexes[p] = $4; peak[p, s] = $11
  ratio[p, s] = $9; ratioHigh[p, s] = $17; wallHigh[p, s] = $19
  cpuRatio[p, s] = $15; cpuRatioHigh[p, s] = $23; peakHigh[p, s] = $27
}

function verdict(ok) { if (!ok) missed = 1; return ok ? "met" : "MISSED" }
function spread(lo, hi, format) { return sprintf(format "–" format, lo, hi) }

END {
  for (i = 1; i <= profiles; i++) {
    p = order[i]
    printf "%s damage (%d indexes to make); medians, and in brackets the lowest and highest of the runs\n", p, indexes[p]
    printf "%-7s %7s %4s %-21s %-21s %7s %-18s %7s %6s %-19s %-18s %6s %s\n", "size", "file MB", "runs", "repair s",
           "floor s", "cp s", "repair/floor", "r/cp", "fl. MB", "repair CPU s", "CPU repair/floor", "fl.CPU", "repair MB"
    for (s = 1; s <= sizes[p]; s++) {
      split(line[p, s], f, "\t")
      printf "%-7s %7.1f %4d %6.3f (%s) %6.3f (%s) %7.3f %5.2f (%s) %7.1f %6.1f %5.3f (%s) %5.2f (%s) %6.3f %5.1f (%s)\n",
             f[2], f[3], f[5], f[6], spread(f[18], f[19], "%.3f"), f[7], spread(f[20], f[21], "%.3f"), f[8], f[9],
             spread(f[16], f[17], "%.2f"), f[10], f[12], f[13], spread(f[24], f[25], "%.3f"), f[15],
             spread(f[22], f[23], "%.2f"), f[14], f[11], spread(f[26], f[27], "%.1f")
    }
    print ""
  }
  for (i = 1; i <= profiles; i++) {
    p = order[i]
    for (s = 1; s <= sizes[p]; s++) {
      if (s == 1) {
        printf "target  %-5s %-6s repaired in under %.2f s in every run, start-up and logon included: at most %.3f s  %s\n",
               p, label[p, s], smallestSeconds, wallHigh[p, s], verdict(wallHigh[p, s] < smallestSeconds)
      } else {
        printf "target  %-5s %-6s repair/floor <= %.2f in every round: at most %.2f  %s\n", p, label[p, s], overFloor,
               ratioHigh[p, s], verdict(ratioHigh[p, s] <= overFloor)
        if (busy != 1)
          printf "target  %-5s %-6s repair/floor below %.2f, median of the rounds: %.2f  %s\n", p, label[p, s],
                 quietMedian, ratio[p, s], verdict(ratio[p, s] < quietMedian)
        printf "target  %-5s %-6s repair CPU time <= %.2f times the floor's in every round: at most %.2f  %s\n", p,
               label[p, s], overFloorCpu, cpuRatioHigh[p, s], verdict(cpuRatioHigh[p, s] <= overFloorCpu)
      }
      printf "target  %-5s %-6s repair peak memory <= %d MB in every run: at most %.1f MB  %s\n", p, label[p, s], peakMB,
             peakHigh[p, s], verdict(peakHigh[p, s] <= peakMB)
    }
    n = sizes[p]
    printf "target  %-5s        repair peak memory flat (at most %.2f times from %s to %s): %.1f MB to %.1f MB  %s\n",
           p, growth, label[p, 1], label[p, n], peak[p, 1], peak[p, n], verdict(peak[p, n] <= growth * peak[p, 1])
  }
  exit missed
}
