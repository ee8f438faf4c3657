# The table of medians of each profile and the targets. Input: medians.awk's output.
# Exit status 1 when a target is missed.
BEGIN {
  FS = "\t"; missed = 0
  smallestSeconds = 0.15   # the smallest file repaired in under this, start-up and logon included
  overFloor = 1.25         # repair/floor at every larger size
  peakMB = 160             # repair's peak memory at every size ...
  growth = 1.10            # ... and at the largest size at most this times that at the smallest
}

{
  p = $1
  if (!(p in sizes)) order[++profiles] = p
  s = ++sizes[p]
  line[p, s] = $0; label[p, s] = $2; indexes[p] = $4; wall[p, s] = $6; ratio[p, s] = $9; peak[p, s] = $11
}

function verdict(ok) { if (!ok) missed = 1; return ok ? "met" : "MISSED" }

END {
  for (i = 1; i <= profiles; i++) {
    p = order[i]
    printf "%s damage (%d indexes to make)\n", p, indexes[p]
    printf "%-8s %8s %5s %9s %8s %8s %8s %8s %9s %9s\n", "size", "file MB", "runs", "repair s", "floor s", "cp s",
           "r/floor", "r/cp", "repair MB", "floor MB"
    for (s = 1; s <= sizes[p]; s++) {
      split(line[p, s], f, "\t")
      printf "%-8s %8.1f %5d %9.3f %8.3f %8.3f %8.2f %8.1f %9.1f %9.1f\n", f[2], f[3], f[5], f[6], f[7], f[8], f[9],
             f[10], f[11], f[12]
    }
    print ""
  }
  for (i = 1; i <= profiles; i++) {
    p = order[i]
    for (s = 1; s <= sizes[p]; s++) {
      if (s == 1)
        printf "target  %-5s %-6s repaired in under %.2f s, start-up and logon included: %.3f s  %s\n", p,
               label[p, s], smallestSeconds, wall[p, s], verdict(wall[p, s] < smallestSeconds)
      else
        printf "target  %-5s %-6s repair/floor <= %.2f: %.2f  %s\n", p, label[p, s], overFloor, ratio[p, s],
               verdict(ratio[p, s] <= overFloor)
      printf "target  %-5s %-6s repair peak memory <= %d MB: %.1f MB  %s\n", p, label[p, s], peakMB, peak[p, s],
             verdict(peak[p, s] <= peakMB)
    }
    n = sizes[p]
    printf "target  %-5s        repair peak memory flat (at most %.2f times from %s to %s): %.1f MB to %.1f MB  %s\n",
           p, growth, label[p, 1], label[p, n], peak[p, 1], peak[p, n], verdict(peak[p, n] <= growth * peak[p, 1])
  }
  exit missed
}
