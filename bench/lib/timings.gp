# Wall seconds against file size for the repair, the floor and cp, one panel per damage profile,
# each repair marked with its ratio to the floor (the median of the rounds'),
# on the same log-log axes so that the panels compare at a glance. Writes SVG to standard output.
# Set on the command line: medians (medians.awk's output), profiles ("heavy light", as run),
# note (the run: date, machine, runs).
set terminal svg size 1000,460 dynamic enhanced font "sans,13" background rgb "white"
set datafile separator "\t"

# Column 1 names the profile: the other profile's rows are left out of a panel.
of(p, c) = strcol(1) eq p ? column(c) : NaN
panels = words(profiles)
array indexes[panels]
do for [i = 1:panels] {
  stats medians using (of(word(profiles, i), 4)) nooutput
  indexes[i] = int(STATS_max)
}

# The axes fit every time of every profile.
stats medians using 8 nooutput
low = STATS_min
stats medians using 6 nooutput
high = STATS_max
stats medians using 7 nooutput
high = STATS_max > high ? STATS_max : high
stats medians using 3 nooutput
smallest = STATS_min
largest = STATS_max

set logscale xy
set xrange [smallest / 2.5 : largest * 2.5]
set yrange [low / 1.6 : high * 3]
set format x "%g"
set format y "%g"
set xlabel "file size (MB)"
set ylabel "wall time (s)"
set grid xtics ytics mxtics mytics lc rgb "#dddddd"
set key top left Left reverse box opaque
set style line 1 lc rgb "#c0392b" lw 2 pt 7 ps 1.1
set style line 2 lc rgb "#2c6fbb" lw 2 pt 5 ps 1.1 dt 2
set style line 3 lc rgb "#777777" lw 2 pt 9 ps 1.1 dt 3

set multiplot layout 1, panels title note font "sans,11"
do for [i = 1:panels] {
  p = word(profiles, i)
  set title sprintf("%s damage: %d indexes to make", p, indexes[i]) font "sans,14"
  plot medians using 3:(of(p, 6)) with linespoints ls 1 title "repair (QNrepair)", \
       medians using 3:(of(p, 7)) with linespoints ls 2 title "floor (sqlite3 shell)", \
       medians using 3:(of(p, 8)) with linespoints ls 3 title "cp", \
       medians using 3:(of(p, 6)):(sprintf("%.2f × floor", $9)) with labels offset char 0, 1.2 font "sans,11" \
         tc rgb "#c0392b" notitle
}
unset multiplot
