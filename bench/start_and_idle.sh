#!/usr/bin/env bash
# How light the program is beside a bare Qt window of its size (bench/ui/bare_window.cpp), both
# offscreen, in throw-away settings, program and runtime folders:
# - start: the CPU time from the start to the first paint of the window (user + system, all
#   threads) and the peak memory then, both taken by the process at that paint; then the same
#   three seconds after the paint, for the work a window does once shown. Medians of RUNS runs of
#   each, interleaved; the program with an empty journal and settings already written, beside the
#   bare window and the bare window with one line of text;
# - idle: wake-ups per second (context switches of all threads) and CPU time over SECONDS seconds,
#   of the bare window, the program shown and the program started with -hide (without a tray it
#   lies minimised, which is its hidden state), all three side by side.
# With BENCH_REMINDERS=N the program's notes hold N reminder lines, one every
# BENCH_REMINDER_STEP minutes (default 30) from that many minutes after the start on: the idle
# cost of reminders waiting; with a step of 1, reminders and their advances come during the
# measurement, and the figures include what showing them costs.
# Usage: [BENCH_REMINDERS=N [BENCH_REMINDER_STEP=M]] bench/start_and_idle.sh [build-dir] [seconds] [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)
span=${2:-60}
runs=${3:-15}
root=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null; rm -rf "$root"' EXIT
export QT_QPA_PLATFORM=offscreen

# A fresh home for one process: the settings hold the "first run" mark already, so no dialog opens.
home() {
    local dir=$root/$1
    mkdir -p "$dir/config/Brenvik" "$dir/program" "$dir/run"
    chmod 700 "$dir/run"
    printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Brenvik\\dniarz]\r\n"Godzina alarmu"="07:00"\r\n' \
        >"$dir/config/Brenvik/dniarz.reg"
    reminders "$dir/program/dnz.dat"
    echo "$dir"
}
# The notes of BENCH_REMINDERS reminder lines, one record a day, as "hh:nn przypomnienie i"; the
# later record of a day would hide an earlier one, so each day's lines go into one.
reminders() {
    local count=${BENCH_REMINDERS:-0} step=${BENCH_REMINDER_STEP:-30} i
    ((count > 0)) || return 0
    for ((i = 1; i <= count; i++)); do
        date -d "+$((i * step)) min" +"%Y.%m.%d %H:%M przypomnienie $i"
    done | awk '{ day = $1; $1 = ""; line[day] = line[day] substr($0, 2) "\r\n" }
                END { for (d in line) printf "%s\r\n%s  00:00\r\n%s****\r\n", d, d, line[d] }' >"$1"
}
# Runs a program in a home, as this very process (so that $! is the program's).
in_home() {
    local dir=$1
    shift
    exec env XDG_CONFIG_HOME="$dir/config" XDG_RUNTIME_DIR="$dir/run" DNIARZ_DIR="$dir/program" "$@"
}
# One run to its first paint and three seconds on: "cpu_ms peak_kib" at each, one line each.
usage_at_paint() {
    rm -f "$root/usage"
    (BENCH_EXIT_AFTER_PAINT=1 BENCH_FIRST_PAINT_FILE=$root/usage BENCH_AFTER_PAINT_MS=3000 in_home "$@" \
        >/dev/null 2>&1)
    cat "$root/usage"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }

echo "== start: CPU ms and peak MiB at the first paint and 3 s after it, median of $runs"
names=(bare label dniarz)
for name in "${names[@]}"; do : >"$root/$name.usage"; done
for ((i = 0; i < runs; i++)); do
    dir=$(home "start$i")
    usage_at_paint "$dir" "$build/bench/ui/bare_window" | paste -sd' ' >>"$root/bare.usage"
    usage_at_paint "$dir" "$build/bench/ui/bare_window" --label | paste -sd' ' >>"$root/label.usage"
    usage_at_paint "$dir" "$build/bench/ui/dniarz_first_paint" | paste -sd' ' >>"$root/dniarz.usage"
done
# The medians of one column of a usage file: 1 CPU at the paint, 2 its peak, 3 and 4 three seconds on.
column() { awk -v c="$2" '{ print $c }' "$root/$1.usage" | median; }
for c in 1 3; do
    when=$([ "$c" = 1 ] && echo "the first paint" || echo "3 s after it")
    awk -v when="$when" -v b="$(column bare "$c")" -v l="$(column label "$c")" -v p="$(column dniarz "$c")" \
        -v bm="$(column bare $((c + 1)))" -v lm="$(column label $((c + 1)))" -v pm="$(column dniarz $((c + 1)))" 'BEGIN {
        printf "to %s: bare window %.1f ms %.1f MiB, with a line of text %.1f ms %.1f MiB, dniarz %.1f ms %.1f MiB\n",
            when, b, bm / 1024, l, lm / 1024, p, pm / 1024
        printf "  dniarz: CPU %.2f x the bare window, %.2f x the one with text; memory %.2f x, %.2f x\n",
            p / b, p / l, pm / bm, pm / lm }'
done

echo "== idle over $span s"
# Every thread's context switches and CPU time, one "tid switches ns" line each: each wake-up of
# a sleeping thread is one switch. A thread that ends between two snapshots counts with the one
# wake-up that ended it.
snapshot() {
    local task
    for task in /proc/"$1"/task/*; do
        { awk -v tid="${task##*/}" '/^(non)?voluntary_ctxt_switches/ { n += $2 } END { printf "%s %d ", tid, n }' \
            "$task/status" && awk '{ print $1 }' "$task/schedstat"; } 2>/dev/null || true
    done
}
# "wake-ups ns" between two snapshots
between() {
    awk 'FNR == NR { s[$1] = $2; c[$1] = $3; next }
         { w += $2 - s[$1]; ns += $3 - c[$1]; delete s[$1] }
         END { for (t in s) w += 1; print w, ns }' "$1" "$2"
}
names=(bare shown hidden)
(in_home "$(home bare)" "$build/bench/ui/bare_window" 2>/dev/null) & pids+=($!)
(in_home "$(home shown)" "$build/dniarz" 2>/dev/null) & pids+=($!)
(in_home "$(home hidden)" "$build/dniarz" -hide 2>/dev/null) & pids+=($!)
# Start-up is not idling, nor are the first half-minute's endings of Qt's pooled threads.
sleep 35
for i in 0 1 2; do snapshot "${pids[i]}" >"$root/s0.$i"; done
sleep "$span"
for i in 0 1 2; do
    snapshot "${pids[i]}" >"$root/s1.$i"
    read -r w ns < <(between "$root/s0.$i" "$root/s1.$i")
    awk -v n="${names[i]}" -v w="$w" -v ns="$ns" -v span="$span" \
        'BEGIN { printf "%-7s %6.2f wake-ups/s  CPU %.4f %% of a core\n", n, w / span, 100 * ns / 1e9 / span }'
done
