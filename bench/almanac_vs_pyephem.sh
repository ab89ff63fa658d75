#!/usr/bin/env bash
# A year's sun and moon lines: this program's almanac (BM_Year_Almanac), the same days computed one
# at a time (BM_Year_DayByDay) and PyEphem doing the same work, run in turns; CPU microseconds per
# day and the ratios. From the repository root after a build: bench/almanac_vs_pyephem.sh [build]
set -euo pipefail
build=${1:-build}
if ! /usr/bin/python3 -c 'import ephem' 2>/dev/null; then
    echo "needs python3-ephem (apt install python3-ephem)" >&2
    exit 1
fi
for round in 1 2 3; do
    # cpu_time is the fourth column, in milliseconds for 366 days.
    read -r almanac byday < <("$build/bench/astro_bench" --benchmark_filter='BM_Year_' --benchmark_format=csv \
        2>/dev/null | awk -F, '/"BM_Year_Almanac"/ {a = $4 * 1000 / 366} /"BM_Year_DayByDay"/ {d = $4 * 1000 / 366}
                             END {printf "%.1f %.1f\n", a, d}')
    pyephem=$(/usr/bin/python3 bench/almanac_pyephem.py | awk '{print $2}')
    awk -v r="$round" -v a="$almanac" -v d="$byday" -v p="$pyephem" 'BEGIN {
        printf "round %s: almanac %.1f us/day, day by day %.1f us/day, PyEphem %.1f us/day: %.1fx PyEphem (day by day %.2fx)\n",
               r, a, d, p, p / a, p / d }'
done
