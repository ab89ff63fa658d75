#!/usr/bin/env bash
# The command line's program without Qt: it links no library of Qt's or of the desktop's, runs its
# modes where the window's part is missing and then says that the window is, and the window's
# part offers its entry point alone.
#   tests/app/window_part_test.sh DNIARZ WINDOW_PART
set -euo pipefail
program=$1 part=$2
fail() { echo "window_part_test: $*" >&2; exit 1; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

needed=$(readelf -d "$program" | sed -n 's/.*(NEEDED).*Shared library: \[\(.*\)\]/\1/p')
[ -n "$needed" ] || fail "readelf lists no libraries of $program"
desktop=$(grep -E '^lib(Qt|GL|EGL|X11|xcb|xkb|dbus|glib|gobject|freetype|fontconfig|icu)' <<<"$needed" || true)
[ -z "$desktop" ] || fail "the program links $(echo $desktop)"
# Every library loaded with it, its libraries' libraries too.
loaded=$(ldd "$program" | awk '{ print $1 }')
desktop=$(grep -E '^lib(Qt|GL|X11|xcb|dbus|glib)' <<<"$loaded" || true)
[ -z "$desktop" ] || fail "the program loads $(echo $desktop)"

exported=$(nm -D --defined-only "$part" | awk '$2 ~ /^[TDBRWVui]$/ && $3 !~ /^(__bss_start|_edata|_end)$/ { print $3 }')
[ "$exported" = DniarzWindowMain ] || fail "the window's part exports: $(echo $exported | head -c 400)"

# The program alone in a folder: every mode of the command line works, the window does not.
mkdir "$tmp/alone"
cp "$program" "$tmp/alone/dniarz"
printf '2024.06.21\r\nt\r\nUrodziny Ali\r\n****\r\n' >"$tmp/alone/dnz.dat"
day=$("$tmp/alone/dniarz" --print-day 2024-06-21) || fail "--print-day ended with $?"
grep -qx 'note: Urodziny Ali' <<<"$day" || fail "--print-day without the window's part: $day"
status=0
"$tmp/alone/dniarz" --screenshot "$tmp/shot.png" 2>"$tmp/stderr" || status=$?
[ "$status" = 1 ] || fail "the window without its part ended with $status"
grep -qF "dniarz: brak pliku $(basename "$part") z oknem programu" "$tmp/stderr" || fail "$(cat "$tmp/stderr")"
[ ! -e "$tmp/shot.png" ] || fail "a picture without the window's part"
# A mistake on the command line is reported before the window's part is looked for.
status=0
"$tmp/alone/dniarz" --date 2024-13-01 2>"$tmp/stderr" || status=$?
[ "$status" = 2 ] || fail "a wrong date ended with $status: $(cat "$tmp/stderr")"

# Beside its part, the program draws its window.
mkdir "$tmp/whole"
cp "$program" "$part" "$tmp/whole/"
QT_QPA_PLATFORM=offscreen "$tmp/whole/dniarz" --dir "$tmp/whole" --screenshot "$tmp/shot.png" --date 2024-06-21
[ -s "$tmp/shot.png" ] || fail "no picture with the window's part beside the program"
echo "window_part_test: passed; the program links $(echo $needed)"
