#!/usr/bin/env bash
# The Windows program draws its window under Wine with Qt's offscreen platform: a PNG of the
# window's size, with text in it (a picture without fonts would be empty boxes and far smaller).
#   tests/windows/screenshot_check.sh WINE_RUN DNIARZ_EXE
set -euo pipefail
wine_run=$1 exe=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
win() { echo "Z:${1//\//\\}"; }
"$wine_run" "$exe" --dir "$(win "$tmp")" --screenshot "$(win "$tmp/shot.png")" --date 2026-01-06
png=$tmp/shot.png
[ -s "$png" ] || { echo "no picture written"; exit 1; }
# The PNG header's width and height, big-endian, at bytes 16 to 23.
read -r width height < <(od -An -tu1 -j16 -N8 "$png" | awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4, $5 * 16777216 + $6 * 65536 + $7 * 256 + $8 }')
[ "$width" = 579 ] && [ "$height" = 507 ] || { echo "picture is ${width}x${height}, not 579x507"; exit 1; }
size=$(stat -c %s "$png")
[ "$size" -gt 20000 ] || { echo "picture of $size bytes: the texts are missing"; exit 1; }
echo "window drawn: ${width}x${height}, $size bytes"
