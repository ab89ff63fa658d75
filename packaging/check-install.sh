#!/usr/bin/env bash
# Installs a build into a temporary prefix and uses the installed program as a user would: the
# menu entry and metainfo pass the desktop's validators, every icon has its size, the notes come
# from the user's data folder, the window makes that folder private, and nothing under the prefix
# changes while the program runs.
#   packaging/check-install.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:?usage: $0 BUILD_DIR}" && pwd)
tmp=$(mktemp -d)
pid=
trap '[ -z "$pid" ] || kill -KILL "$pid" 2>/dev/null; rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
fail() { echo "check-install: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

sizes=(16 22 24 32 48 64 128 256)
expected=(bin/dniarz libexec/dniarz/dniarz-window.so share/applications/dniarz.desktop share/metainfo/org.example.dniarz.metainfo.xml
          share/man/man1/dniarz.1.gz share/man/pl/man1/dniarz.1.gz share/icons/hicolor/scalable/apps/dniarz.svg
          share/doc/dniarz/README.md share/doc/dniarz/copyright share/doc/dniarz/changelog.gz)
for s in "${sizes[@]}"; do expected+=("share/icons/hicolor/${s}x${s}/apps/dniarz.png"); done
for f in "${expected[@]}"; do [ -s "$prefix/$f" ] || fail "missing $f"; done
[ -d "$prefix/share/dniarz" ] || fail "missing share/dniarz"
[ -x "$prefix/bin/dniarz" ] || fail "bin/dniarz is not executable"

# Width and height from the PNG header (big-endian, bytes 16 to 23).
for s in "${sizes[@]}"; do
    read -r w0 w1 w2 w3 h0 h1 h2 h3 < <(od -An -tu1 -j16 -N8 "$prefix/share/icons/hicolor/${s}x${s}/apps/dniarz.png")
    w=$(( (w0 << 24) | (w1 << 16) | (w2 << 8) | w3 )); h=$(( (h0 << 24) | (h1 << 16) | (h2 << 8) | h3 ))
    [ "$w" = "$s" ] && [ "$h" = "$s" ] || fail "the ${s}x${s} icon is ${w}x${h}"
done
grep -q '<svg width="256" height="256"' "$prefix/share/icons/hicolor/scalable/apps/dniarz.svg" \
    || fail "the SVG icon has no pixel size"

# Hints count too: one about two main categories means a menu listing the program twice.
validation=$(desktop-file-validate "$prefix/share/applications/dniarz.desktop" 2>&1) \
    && [ -z "$validation" ] || fail "the menu entry: $validation"
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/org.example.dniarz.metainfo.xml" >/dev/null \
    || { appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/org.example.dniarz.metainfo.xml"; fail "metainfo"; }
zcat "$prefix/share/man/man1/dniarz.1.gz" | grep -q '^\.TH DNIARZ 1' || fail "the manual page has no title line"
zcat "$prefix/share/man/pl/man1/dniarz.1.gz" | grep -q '^\.SH OPCJE' || fail "the Polish manual page has no options"
# An address that leads nowhere is worse than none: nothing installed may carry a placeholder.
placeholders=$(grep -rlaE '[a-z0-9.-]*example\.(org|com|net)' "$prefix" || true)
[ -z "$placeholders" ] || fail "placeholder addresses in: $placeholders"
[ -s "$prefix/share/dniarz/ferie-zimowe.txt" ] || fail "data/ferie-zimowe.txt is not installed"
if [ -f "$(dirname "$0")/../data/info.rtf" ]; then
    [ -s "$prefix/share/dniarz/info.rtf" ] || fail "data/info.rtf is not installed"
fi

listing() { (cd "$prefix" && find . -printf '%p %y %m %s %T@\n' | sort); }
before=$(listing)

home=$tmp/home
data=$tmp/data
mkdir -p "$home" "$data/dniarz" "$tmp/config" "$tmp/runtime"
chmod 700 "$tmp/runtime"
# One note for the date and one for the day in every year; the text is Windows-1250 ("Łucji").
printf '2024.06.21\r\nt\r\nUrodziny Ali\r\n****\r\n    .12.13\r\nt\r\nImieniny \xa3ucji\r\n****\r\n' \
    > "$data/dniarz/dnz.dat"
# A clean environment: nothing of the caller's own folders reaches the program.
run=(env -i PATH=/usr/bin:/bin HOME="$home" XDG_CONFIG_HOME="$tmp/config" XDG_RUNTIME_DIR="$tmp/runtime"
     TZ=CET-1CEST,M3.5.0,M10.5.0/3 LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen)

start=$(date +%s%N)
day=$("${run[@]}" XDG_DATA_HOME="$data" "$prefix/bin/dniarz" --print-day 2024-06-21)
grep -qx 'note: Urodziny Ali' <<<"$day" || fail "the note of the data folder is not shown: $day"
grep -qx 'names: .*' <<<"$day" || fail "no names line: $day"
yearly=$("${run[@]}" XDG_DATA_HOME="$data" "$prefix/bin/dniarz" --print-day 2031-12-13)
grep -qx 'yearly-note: Imieniny Łucji' <<<"$yearly" || fail "the yearly note is not shown: $yearly"

help=$("${run[@]}" XDG_DATA_HOME="$data" "$prefix/bin/dniarz" --help)
grep -qF "$data/dniarz (folder danych użytkownika)" <<<"$help" || fail "--help does not name the data folder: $help"
grep -qF "$prefix/share/dniarz" <<<"$help" || fail "--help does not name the shared folder: $help"
# Without XDG_DATA_HOME the folder is under the home folder; it is not made by printing.
help=$("${run[@]}" "$prefix/bin/dniarz" --help)
grep -qF "$home/.local/share/dniarz" <<<"$help" || fail "--help without XDG_DATA_HOME: $help"
"${run[@]}" "$prefix/bin/dniarz" --print-day 2024-06-21 >/dev/null
[ ! -e "$home/.local" ] || fail "printing a day made $home/.local"
# One version everywhere: the program's, the manual page's and the metainfo's latest release.
version=$("${run[@]}" "$prefix/bin/dniarz" --version)
[ "$version" = "dniarz $(sed -n 's/^project(dniarz VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../CMakeLists.txt")" ] \
    || fail "--version says '$version'"
zcat "$prefix/share/man/man1/dniarz.1.gz" | grep -qF "\"$version\"" || fail "the manual page is not of $version"
grep -qF "<release version=\"${version#dniarz }\"" "$prefix/share/metainfo/org.example.dniarz.metainfo.xml" \
    || fail "the metainfo's release is not ${version#dniarz }"
# A place off the Earth is a wrong command line, not a day without sunrise.
status=0
"${run[@]}" "$prefix/bin/dniarz" --print-day 2024-06-21 --lat 91 >/dev/null 2>"$tmp/stderr" || status=$?
[ "$status" = 2 ] && grep -qF -- "--lat '91'" "$tmp/stderr" || fail "--lat 91 ended with $status: $(cat "$tmp/stderr")"

# The window, on first use, makes the data folder readable by the user alone. Killed in the
# middle of its start it may not have its logout handler yet, so 143 is an orderly end too.
"${run[@]}" "$prefix/bin/dniarz" >/dev/null 2>&1 &
pid=$!
for _ in $(seq 200); do
    [ -e "$home/.local/share/dniarz/dnz.dat" ] && break
    sleep 0.1
done
sleep 0.5
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
pid=
[ "$status" = 0 ] || [ "$status" = 143 ] || fail "the window ended with $status"
[ "$(stat -c %a "$home/.local/share/dniarz")" = 700 ] || fail "the data folder is not private"
[ "$(stat -c %a "$home/.local/share")" = 700 ] || fail "the made parent folder is not private"
[ -e "$home/.local/share/dniarz/dnz.dat" ] || fail "the window made no notes file"

after=$(listing)
[ "$before" = "$after" ] || fail "the prefix changed: $(diff <(echo "$before") <(echo "$after"))"
echo "check-install: passed, $(( ($(date +%s%N) - start) / 1000000 )) ms running the installed program"
