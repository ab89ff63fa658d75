#!/usr/bin/env bash
# The portable ZIP under Wine: unpacked anywhere, the program finds its DLLs and plugins beside
# itself and keeps the notes there too (it must not take itself for installed); its window's part,
# loaded from beside it, draws the window.
#   tests/windows/check_portable.sh WINE_RUN PACKAGES_DIR
set -euo pipefail
wine_run=$1 packages=$2
zip=$(ls "$(cd "$packages" && pwd)"/Dniarz-*-win64-portable.zip 2>/dev/null | head -n1)
[ -n "$zip" ] || { echo "no portable ZIP in $packages: make it with --target portable_zip"; exit 1; }
tmp=$(mktemp -d "${TMPDIR:-/tmp}/Mój program.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
(cd "$tmp" && cmake -E tar xf "$zip")
[ -s "$tmp/Dniarz/ferie-zimowe.txt" ] || { echo "the portable ZIP lacks ferie-zimowe.txt"; exit 1; }
# The notes file is in code page 1250: \x9c is "ś".
printf '2026.12.07\r\nt\r\nPrzeno\x9cna notatka\r\n****\r\n' >"$tmp/Dniarz/dnz.dat"
out=$("$wine_run" "Z:${tmp//\//\\}\\Dniarz\\dniarz.exe" --print-day 2026-12-07 | tr -d '\r')
grep -q "^note: Przenośna notatka$" <<<"$out" || { echo "the notes beside the program were not read: $out"; exit 1; }
"$wine_run" "Z:${tmp//\//\\}\\Dniarz\\dniarz.exe" --screenshot "Z:${tmp//\//\\}\\shot.png" --date 2026-12-07
[ -s "$tmp/shot.png" ] || { echo "the portable program drew no window"; exit 1; }
echo "the portable program reads its notes beside itself ($(stat -c %s "$zip") bytes)"
