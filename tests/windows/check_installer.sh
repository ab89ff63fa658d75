#!/usr/bin/env bash
# The installer under Wine, as a user would meet it: a silent install puts the program, Qt's DLLs
# and plugins, info.rtf and a Start-menu shortcut in place; the installed program prints a day;
# the silent uninstall removes what was installed and leaves the user's notes.
#   tests/windows/check_installer.sh WINE_RUN PACKAGES_DIR
set -euo pipefail
wine_run=$1 packages=$2
installer=$(ls "$packages"/Dniarz-*-win64.exe 2>/dev/null | head -n1)
[ -n "$installer" ] || { echo "no installer in $packages: make it with cpack -G NSIS"; exit 1; }
fail() { echo "check-installer: $*" >&2; exit 1; }
prefix=$("$wine_run" cmd /c echo %SystemDrive% | tr -d '\r')
[ "$prefix" = "C:" ] || fail "no C: drive in the Wine prefix"
wineprefix=$(dirname "$wine_run")/wineprefix
[ -n "${DNIARZ_WINEPREFIX:-}" ] && wineprefix=$DNIARZ_WINEPREFIX
name="Dniarz test $$"
target="$wineprefix/drive_c/$name"
notes_home=$("$wine_run" cmd /c echo %LOCALAPPDATA% | tr -d '\r')

"$wine_run" "$installer" /S "/D=C:\\$name"
"$(dirname "$wine_run")/wine-run.sh" wineserver -w 2>/dev/null || true
for f in bin/dniarz.exe bin/Qt6Core.dll bin/Qt6Gui.dll bin/Qt6Widgets.dll bin/platforms/qwindows.dll \
         bin/libstdc++-6.dll share/dniarz/info.rtf; do
    [ -s "$target/$f" ] || fail "missing $f"
done
find "$wineprefix/drive_c" -path "*Start Menu*" -name "Dniarz*.lnk" | grep -q . || fail "no Start-menu shortcut"

out=$("$wine_run" "C:\\$name\\bin\\dniarz.exe" --print-day 2026-12-07 --lat 52.23 --lon 21.01 | tr -d '\r')
grep -q "2026" <<<"$out" || fail "the installed program printed no day: $out"

# The user's notes, where the installed program keeps them.
"$wine_run" cmd /c "mkdir \"$notes_home\\dniarz\" & echo notatka> \"$notes_home\\dniarz\\dnz.dat\""
"$wine_run" "C:\\$name\\Uninstall.exe" /S
"$(dirname "$wine_run")/wine-run.sh" wineserver -w 2>/dev/null || true
sleep 2
[ ! -e "$target/bin/dniarz.exe" ] || fail "the uninstaller left bin\\dniarz.exe"
"$wine_run" cmd /c type "$notes_home\\dniarz\\dnz.dat" | grep -q notatka || fail "the uninstaller removed the notes"
echo "installed, ran and uninstalled $(basename "$installer") ($(stat -c %s "$installer") bytes)"
