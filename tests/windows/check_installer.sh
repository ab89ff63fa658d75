#!/usr/bin/env bash
# The installer under Wine, as a user would meet it: a silent install into Program Files (a path
# with a blank) puts the program, its window's part, Qt's DLLs and plugins, info.rtf, the winter
# holidays and a Start-menu shortcut in place; the installed program prints a day; the silent
# uninstall removes what was installed and leaves the user's notes.
#   tests/windows/check_installer.sh WINE_RUN PACKAGES_DIR
set -euo pipefail
wine_run=$1 packages=$2
installer=$(ls "$packages"/Dniarz-*-win64.exe 2>/dev/null | head -n1)
[ -n "$installer" ] || { echo "no installer in $packages: make it with cpack -G NSIS"; exit 1; }
fail() { echo "check-installer: $*" >&2; exit 1; }
wineprefix=${DNIARZ_WINEPREFIX:-$(cd "$(dirname "$wine_run")" && pwd)/wineprefix}
# The installer and uninstaller hand their work on to other processes; wait until all have ended.
settle() { WINEPREFIX="$wineprefix" wineserver -w; }
target="$wineprefix/drive_c/Program Files/Dniarz"
local_app_data=$("$wine_run" cmd /c echo %LOCALAPPDATA% | tr -d '\r')
[ -n "$local_app_data" ] || fail "Wine tells no LOCALAPPDATA"
notes_home=$("$wine_run" winepath -u "$local_app_data" | tr -d '\r')/Dniarz

# NSIS takes /D only unquoted, which a path with a blank cannot be: the default place is used.
"$wine_run" "$installer" /S
settle
for f in bin/dniarz.exe bin/dniarz-window.dll bin/Qt6Core.dll bin/Qt6Gui.dll bin/Qt6Widgets.dll \
         bin/platforms/qwindows.dll bin/libstdc++-6.dll share/dniarz/info.rtf share/dniarz/ferie-zimowe.txt \
         Uninstall.exe; do
    [ -s "$target/$f" ] || fail "missing $f"
done
find "$wineprefix/drive_c" -path "*Start Menu*" -name "Dniarz*.lnk" | grep -q . || fail "no Start-menu shortcut"

out=$("$wine_run" 'C:\Program Files\Dniarz\bin\dniarz.exe' --print-day 2026-12-07 --lat 52.23 --lon 21.01 | tr -d '\r')
grep -q "^date: 2026.12.07$" <<<"$out" || fail "the installed program printed no day: $out"

# The user's notes, where the installed program keeps them.
mkdir -p "$notes_home"
echo notatka >"$notes_home/dnz.dat"
"$wine_run" 'C:\Program Files\Dniarz\Uninstall.exe' /S
settle
[ ! -e "$target/bin/dniarz.exe" ] || fail "the uninstaller left bin\\dniarz.exe"
find "$wineprefix/drive_c" -path "*Start Menu*" -name "Dniarz*.lnk" | grep -q . && fail "the shortcut is still there"
grep -q notatka "$notes_home/dnz.dat" || fail "the uninstaller removed the notes"
rm -r "$notes_home"
echo "installed, ran and uninstalled $(basename "$installer") ($(stat -c %s "$installer") bytes)"
