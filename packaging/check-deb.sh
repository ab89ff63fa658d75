#!/usr/bin/env bash
# Builds the Debian package from a build folder and checks it: the files a desktop program
# ships, and dependencies computed from the libraries the executable really links.
#   packaging/check-deb.sh BUILD_DIR      (prints the package's path and size)
set -euo pipefail
build=$(cd "${1:?usage: $0 BUILD_DIR}" && pwd)
fail() { echo "check-deb: $*" >&2; exit 1; }

rm -rf "$build/packages"
(cd "$build" && cpack -G DEB >"$build/packages.log" 2>&1) || { cat "$build/packages.log"; fail "cpack failed"; }
deb=$(ls "$build"/packages/dniarz_*.deb)
[ "$(echo "$deb" | wc -l)" = 1 ] || fail "expected one package, found: $deb"

info=$(dpkg-deb -I "$deb")
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = dniarz ] || fail "package name $(field Package)"
version=$(sed -n 's/^project(dniarz VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../CMakeLists.txt")
[ "$(field Version)" = "$version" ] || fail "version $(field Version), CMake says $version"
[ -n "$(field Section)" ] && [ -n "$(field Description)" ] || fail "no section or description"
depends=$(field Depends)
# Every library the executable and the window's part link needs its package; Qt's widgets always,
# sound when linked; libsndfile always, loaded as the alarm's file is first played.
need=(libqt6widgets6 libqt6gui6 libqt6core6 libc6 libstdc++6 libsndfile1)
linked=$(readelf -d "$build/dniarz" "$build/dniarz-window.so" | sed -n 's/.*Shared library: \[\(.*\)\]/\1/p')
grep -q '^libasound\.so' <<<"$linked" && need+=(libasound2)
names=$(sed 's/ ([^)]*)//g; s/ *| */\n/g; s/, /\n/g' <<<"$depends")
for p in "${need[@]}"; do
    grep -qxF "$p" <<<"$names" || fail "Depends lacks $p: $depends"
done

files=$(dpkg-deb -c "$deb" | awk '{print $6}')
expected=(./usr/bin/dniarz ./usr/libexec/dniarz/dniarz-window.so ./usr/share/applications/dniarz.desktop
          ./usr/share/metainfo/org.example.dniarz.metainfo.xml
          ./usr/share/man/man1/dniarz.1.gz ./usr/share/man/pl/man1/dniarz.1.gz
          ./usr/share/icons/hicolor/scalable/apps/dniarz.svg ./usr/share/dniarz/ ./usr/share/dniarz/ferie-zimowe.txt
          ./usr/share/doc/dniarz/copyright ./usr/share/doc/dniarz/changelog.gz ./usr/share/doc/dniarz/README.md)
for s in 16 22 24 32 48 64 128 256; do expected+=("./usr/share/icons/hicolor/${s}x${s}/apps/dniarz.png"); done
[ -f "$(dirname "$0")/../data/info.rtf" ] && expected+=(./usr/share/dniarz/info.rtf)
for f in "${expected[@]}"; do grep -qxF "$f" <<<"$files" || fail "the package lacks $f"; done
# Nothing of the build or the tests: only the program's own folders.
stray=$(grep -vE '^\./(usr/|usr/bin/|usr/bin/dniarz|usr/libexec/|usr/libexec/dniarz/(dniarz-window\.so)?|usr/share/.*)?$' <<<"$files" || true)
[ -z "$stray" ] || fail "unexpected files in the package: $stray"
# Stripped: a package of a few megabytes rather than one carrying the debugging data.
file_size=$(stat -c %s "$deb")
[ "$file_size" -lt 5000000 ] || fail "the package is $file_size bytes"

# The packaged program, unpacked anywhere, knows it is installed and starts.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
dpkg-deb -x "$deb" "$tmp/root"
# The menu entry as packaged, hints included: two main categories list the program twice.
validation=$(desktop-file-validate "$tmp/root/usr/share/applications/dniarz.desktop" 2>&1) \
    && [ -z "$validation" ] || fail "the menu entry: $validation"
help=$(env -i PATH=/usr/bin:/bin HOME="$tmp/home" "$tmp/root/usr/bin/dniarz" --help)
grep -qF "$tmp/home/.local/share/dniarz (folder danych użytkownika)" <<<"$help" || fail "the packaged program: $help"
env -i PATH=/usr/bin:/bin HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/config" "$tmp/root/usr/bin/dniarz" \
    --print-day 2024-06-21 | grep -q '^date: ' || fail "the packaged program does not print a day"
# Its window's part, found in the package's private folder, draws the window.
env -i PATH=/usr/bin:/bin HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/config" "$tmp/root/usr/bin/dniarz" \
    --screenshot "$tmp/shot.png" --date 2024-06-21 && [ -s "$tmp/shot.png" ] \
    || fail "the packaged program draws no window"

# Debian's own check of the package: an error fails, the rest is shown. Run as root, lintian
# says so on standard error; that is no finding.
command -v lintian >/dev/null || fail "lintian is not installed (./build.sh test installs it)"
findings=$(lintian --fail-on error --info "$deb" 2>"$tmp/lintian.err") \
    || { echo "$findings"; cat "$tmp/lintian.err"; fail "lintian found errors"; }
[ -z "$findings" ] || echo "$findings" | sed 's/^/  lintian: /'

echo "$info" | sed -n 's/^ \(Package\|Version\|Section\|Depends\|Installed-Size\):/  \1:/p'
echo "check-deb: passed, $deb ($file_size bytes)"
