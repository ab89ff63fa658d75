#!/usr/bin/env bash
# The Windows program's printed day equals the Linux program's, byte for byte but for the line
# ends, over a spread of dates (year ends, leap days, the summer time changes) and places (the
# polar cities whose sun never sets or rises, the southern hemisphere, both sides of the date line).
#   tests/windows/print_day_compare.sh WINE_RUN DNIARZ_EXE LINUX_DNIARZ
# Exit 77 (skipped) when the Linux program has not been built.
set -euo pipefail
wine_run=$1 exe=$2 linux=$3
[ -x "$linux" ] || { echo "no Linux program at $linux: build it with ./build.sh test"; exit 77; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
dates=(1999-12-31 2000-01-01 2000-02-29 2024-03-31 2024-10-27 2026-06-21 2026-12-07 2027-01-01 2100-03-01)
places=("52.23 21.01" "78.22 15.65" "-77.85 166.67" "69.65 18.96" "-33.87 151.21" "-14.28 -170.70" "0 0" "64.15 -21.94")
count=0
for d in "${dates[@]}"; do
    for p in "${places[@]}"; do
        read -r lat lon <<<"$p"
        args=(--print-day "$d" --lat "$lat" --lon "$lon")
        # Both on an empty folder of their own, so that no notes or settings of a user take part.
        mkdir -p "$tmp/l" "$tmp/w"
        XDG_CONFIG_HOME="$tmp/l" DNIARZ_DIR="$tmp/l" "$linux" "${args[@]}" >"$tmp/linux.txt"
        DNIARZ_DIR="Z:${tmp//\//\\}\\w" "$wine_run" "$exe" "${args[@]}" | tr -d '\r' >"$tmp/windows.txt"
        if ! cmp -s "$tmp/linux.txt" "$tmp/windows.txt"; then
            echo "differs for ${args[*]}:"
            diff "$tmp/linux.txt" "$tmp/windows.txt" || true
            exit 1
        fi
        count=$((count + 1))
    done
done
echo "$count days and places print the same"
