#!/usr/bin/env bash
# CPU time of the running window over a span (default 60 s) with its clock ticking, offscreen,
# in throw-away settings, program and runtime folders.
# Usage: tools/idle_cpu.sh [build-dir] [seconds] [program arguments, e.g. -hide]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
span=${2:-60}
shift $(($# < 2 ? $# : 2))
root=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; rm -rf "$root"' EXIT
mkdir -p "$root/config" "$root/program" "$root/run"
chmod 700 "$root/run"
QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$root/config" XDG_RUNTIME_DIR="$root/run" DNIARZ_DIR="$root/program" \
    "$build/dniarz" "$@" &
pid=$!
ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
sleep 5  # start-up is not idling
before=$(ticks)
sleep "$span"
after=$(ticks)
hz=$(getconf CLK_TCK)
awk -v t=$((after - before)) -v hz="$hz" -v s="$span" \
    'BEGIN { printf "CPU time over %d s: %.2f s = %.3f %% of one core\n", s, t / hz, 100 * t / hz / s }'
