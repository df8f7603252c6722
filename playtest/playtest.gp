# Draws the playtest's plot from survival.dat and deaths.dat in folder DIR into PNG; vorska-playtest
# --plot runs it. usage: gnuplot -c playtest/playtest.gp DIR PNG
dir = ARG1
png = ARG2
set terminal pngcairo size 900,700 font "DejaVu Sans,10"
set output png
set multiplot layout 2,1
set key outside right top
set xrange [0:100]
set xlabel "share of the climb (%)"
set grid

set title "Runs still in the game along the climb"
set ylabel "runs with a life left (%)"
set yrange [0:105]
plot dir."/survival.dat" using 1:2 with lines lw 2 title "still", \
     "" using 1:3 with lines lw 2 title "novice", \
     "" using 1:4 with lines lw 2 title "skilled"

set title "Lives lost by height (all runs, 5 % bins)"
set ylabel "lives lost"
set yrange [0:*]
set offsets 0, 0, graph 0.08, 0
set style fill solid 0.8 border -1
set boxwidth 1.6 absolute
plot dir."/deaths.dat" using ($1-1.7):2 with boxes title "still", \
     "" using 1:3 with boxes title "novice", \
     "" using ($1+1.7):4 with boxes title "skilled"
unset multiplot
