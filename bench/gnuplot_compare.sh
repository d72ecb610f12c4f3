#!/usr/bin/env bash
# Usage: gnuplot_compare.sh BUILD_DIR [CHARTS]
# Plotwise against gnuplot's gif terminal: the same four charts (bar 3 x 12, pie of 12 slices,
# line of 1000 points, scatter of 400 points) from the same data, CHARTS (default 100) drawn
# by one process each: the plotwise program evaluating a script that draws the chart CHARTS
# times with Plotz_Draw, and gnuplot plotting it CHARTS times. Each process runs three times;
# the table shows the median CPU time (user + system) of a process divided by CHARTS, so the
# start of the process and the script's set-up count for both.
# A second table does the same for the exports: Plotz_Export of the chart as PNG at scale 1 and
# 2 against gnuplot's pngcairo terminal at the same pixel size, and as PDF against pdfcairo.
set -euo pipefail
build="$(cd "$1" && pwd)"
charts="${2:-100}"
work="$(mktemp -d /tmp/plotwise-gnuplot-XXXXXX)"
trap 'rm -rf "$work"' EXIT
command -v gnuplot >/dev/null || { echo "gnuplot is not installed (make bench-gnuplot installs gnuplot-nox)"; exit 1; }

# ---- The data, once for both ---------------------------------------------------------------
awk 'BEGIN {
  split("Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec", m, " ");
  for (i = 1; i <= 12; i++) {
    printf "%s", m[i] > "'"$work"'/bar.dat";
    for (s = 0; s < 3; s++) printf " %.1f", 50 + 10 * s + 30 * sin(0.37 * i + s) > "'"$work"'/bar.dat";
    printf "\n" > "'"$work"'/bar.dat";
    printf "%.1f %s\n", 20 + 15 * sin(0.9 * i) + i, m[i] > "'"$work"'/pie.dat";
  }
  for (i = 1; i <= 1000; i++) printf "%d %.2f\n", i, 50 + 30 * sin(0.037 * i) + 7 * cos(0.11 * i) > "'"$work"'/line.dat";
  state = 12345;
  for (i = 1; i <= 400; i++) {
    state = (state * 1103515245 + 12345) % 2147483648; x = state % 10000 / 100;
    state = (state * 1103515245 + 12345) % 2147483648; y = x / 2 + state % 5000 / 100;
    printf "%.2f %.2f\n", x, y > "'"$work"'/scatter.dat";
  }
}'

# A column of a data file as a plotwise list "a;b;c".
column() { awk -v c="$2" '{ printf "%s%s", (NR > 1 ? ";" : ""), $c }' "$work/$1"; }

# ---- Plotwise: one script per chart, the chart drawn CHARTS times ----------------------------
plotwise_script() {  # NAME STYLE DATA-CALLS
  local name="$1" style="$2" data="$3" i
  {
    # The style first, so that the previews drawn while the chart is built are of its kind
    # (the default, a pie of every value, would cost more than the chart).
    echo "Let ( [ chart = Plotz_New ;"
    echo "chart = Plotz_Style ( chart ; \"$style\" ) ;"
    echo "chart = Plotz_Titles ( chart ; \"Sales by region\" ; \"Period\" ; \"Units\" ) ;"
    echo "$data" | sed '$ s/ ;$//' 
    for ((i = 0; i < charts; i++)); do echo "; chart = Plotz_Draw ( chart ; 640 ; 480 )"; done
    echo "] ; chart )"
  } > "$work/$name.calc"
}
plotwise_script bar vbar "$(for s in 2 3 4; do
  echo "chart = Plotz_Data ( chart ; \"$(column bar.dat 1)\" ; \"$(column bar.dat $s)\" ; $((s * 4000000)) ; \"Series $((s - 1))\" ) ;"
done)"
plotwise_script pie pie "chart = Plotz_Data ( chart ; \"$(column pie.dat 2)\" ; \"$(column pie.dat 1)\" ; 0 ; \"Share\" ) ;"
plotwise_script line line "chart = Plotz_Data ( chart ; \"$(column line.dat 1)\" ; \"$(column line.dat 2)\" ; 255 ; \"Level\" ) ;"
plotwise_script scatter xypoint "chart = Plotz_Data ( chart ; \"$(column scatter.dat 1)\" ; \"$(column scatter.dat 2)\" ; 16711680 ; \"Runs\" ) ;"

# ---- gnuplot: the same charts, CHARTS plots per process --------------------------------------
gnuplot_script() {  # NAME PLOT-COMMANDS
  cat > "$work/$1.gp" <<EOF
set terminal gif size 640,480 font "LiberationSans-Regular,10"
set output "/dev/null"
set title "Sales by region"; set xlabel "Period"; set ylabel "Units"
$2
EOF
}
gnuplot_script bar "set style data histograms; set style fill solid border -1
do for [i=1:$charts] { plot '$work/bar.dat' using 2:xtic(1) title 'Series 1', '' using 3 title 'Series 2', '' using 4 title 'Series 3' }"
gnuplot_script pie "stats '$work/pie.dat' using 1 nooutput; total = STATS_sum
set size square; unset border; unset tics; unset key; set xrange [-1.5:1.5]; set yrange [-1.5:1.5]
do for [i=1:$charts] { a = 0; b = 0
plot '$work/pie.dat' using (0):(0):(1):(a):(a = a + 360 * \$1 / total):(\$0 + 1) with circles lc var fill solid, \
     '' using (1.2 * cos(pi / 180 * (b + 180 * \$1 / total))):(1.2 * sin(pi / 180 * ((b = b + 360 * \$1 / total) - 180 * \$1 / total))):2 with labels }"
gnuplot_script line "do for [i=1:$charts] { plot '$work/line.dat' with lines title 'Level' }"
gnuplot_script scatter "do for [i=1:$charts] { plot '$work/scatter.dat' with points pt 7 title 'Runs' }"

# ---- Timing -----------------------------------------------------------------------------------
# CPU seconds (user + system) of one run of the command.
cpu_seconds() {
  local TIMEFORMAT='%3U %3S'
  { time "$@" >/dev/null 2>&1; } 2>&1 | awk '{ print $1 + $2 }'
}
median3() { printf '%s\n' "$@" | sort -g | sed -n 2p; }

run_plotwise() { "$build/plotwise" run "$work/$1.calc"; }
run_gnuplot() { GDFONTPATH=/usr/share/fonts/truetype/liberation gnuplot "$work/$1.gp"; }

# Both must draw before they are timed.
for chart in bar pie line scatter; do
  run_plotwise "$chart" >/dev/null || { echo "plotwise could not draw $chart"; exit 1; }
  run_gnuplot "$chart" >/dev/null 2>&1 || { echo "gnuplot could not draw $chart"; exit 1; }
done

printf '\nPlotwise against gnuplot %s (gif terminal), %d charts of 640 x 480 per process\n\n' \
  "$(gnuplot --version | awk '{ print $2 }')" "$charts"
printf '%-34s %14s %14s %10s\n' "chart" "plotwise" "gnuplot" "faster"
printf '%s\n' "$(printf '%.0s-' {1..75})"
for chart in bar pie line scatter; do
  p=(); g=()
  for _ in 1 2 3; do
    p+=("$(cpu_seconds run_plotwise "$chart")")
    g+=("$(cpu_seconds run_gnuplot "$chart")")
  done
  awk -v name="$chart" -v p="$(median3 "${p[@]}")" -v g="$(median3 "${g[@]}")" -v n="$charts" 'BEGIN {
    label["bar"] = "bar 3 x 12"; label["pie"] = "pie, 12 slices";
    label["line"] = "line, 1000 points"; label["scatter"] = "scatter, 400 points";
    printf "%-34s %11.2f ms %11.2f ms %9.2fx\n", label[name], 1000 * p / n, 1000 * g / n, (p > 0 ? g / p : 0)
  }'
done

# ---- Exports against gnuplot's cairo terminals -------------------------------------------------
# Each chart's script with its drawings replaced by CHARTS exports (one drawing kept: it sets the
# size the export is drawn at), and gnuplot's script with the terminal replaced.
export_script() {  # CHART KEY FORMAT SCALE
  awk -v n="$charts" -v format="$3" -v scale="$4" '
    /Plotz_Draw/ { if (drawn++) next }
    /^\] ; chart \)$/ { for (i = 0; i < n; i++) printf "; e = Plotz_Export ( chart ; \"%s\" ; %d )\n", format, scale }
    { print }' "$work/$1.calc" > "$work/$1-$2.calc"
}
export_terminal() {  # CHART KEY TERMINAL
  sed "1 s|^set terminal .*|set terminal $3 font \"Liberation Sans,10\"|" "$work/$1.gp" > "$work/$1-$2.gp"
}
# key, plotwise format and scale, gnuplot terminal: the same picture size (a PDF pixel is 0.75 pt).
exports=(
  "png1|png|1|pngcairo size 640,480"
  "png2|png|2|pngcairo size 1280,960"
  "pdf|pdf|1|pdfcairo size 6.6667in,5in"
)
for chart in bar pie line scatter; do
  for row in "${exports[@]}"; do
    IFS='|' read -r key format scale terminal <<<"$row"
    export_script "$chart" "$key" "$format" "$scale"
    export_terminal "$chart" "$key" "$terminal"
    run_plotwise "$chart-$key" >/dev/null || { echo "plotwise could not export $chart as $key"; exit 1; }
    run_gnuplot "$chart-$key" >/dev/null 2>&1 || { echo "gnuplot could not draw $chart with $terminal"; exit 1; }
  done
done

printf '\nPlotwise exports against gnuplot %s (pngcairo, pdfcairo), %d per process\n\n' \
  "$(gnuplot --version | awk '{ print $2 }')" "$charts"
printf '%-34s %14s %14s %10s\n' "chart" "plotwise" "gnuplot" "faster"
printf '%s\n' "$(printf '%.0s-' {1..75})"
for chart in bar pie line scatter; do
  for row in "${exports[@]}"; do
    IFS='|' read -r key _ _ terminal <<<"$row"
    p=(); g=()
    for _ in 1 2 3; do
      p+=("$(cpu_seconds run_plotwise "$chart-$key")")
      g+=("$(cpu_seconds run_gnuplot "$chart-$key")")
    done
    awk -v name="$chart" -v key="$key" -v p="$(median3 "${p[@]}")" -v g="$(median3 "${g[@]}")" -v n="$charts" 'BEGIN {
      label["bar"] = "bar 3 x 12"; label["pie"] = "pie, 12 slices";
      label["line"] = "line, 1000 points"; label["scatter"] = "scatter, 400 points";
      kind["png1"] = "PNG x1"; kind["png2"] = "PNG x2"; kind["pdf"] = "PDF";
      printf "%-34s %11.2f ms %11.2f ms %9.2fx\n", label[name] ", " kind[key], 1000 * p / n, 1000 * g / n, (p > 0 ? g / p : 0)
    }'
  done
done
