#!/usr/bin/env bash
# The installer under Wine, as a user would meet it: a silent install for the current user puts
# the program, its window's part, Qt's DLLs and plugins, info.rtf, the winter holidays and a
# Start-menu shortcut into %LOCALAPPDATA%\Programs\Dniarz with its uninstall entry under HKCU and
# nothing under HKLM; the installed program prints a day; an install over it (an update) keeps the
# user's notes and settings; the silent uninstall removes what was installed and leaves them. Then
# the same for every user (/AllUsers) into Program Files (a path with a blank), entry under HKLM.
#   tests/windows/check_installer.sh WINE_RUN PACKAGES_DIR
set -euo pipefail
wine_run=$1 packages=$2
installer=$(ls "$packages"/Dniarz-*-win64.exe 2>/dev/null | head -n1)
[ -n "$installer" ] || { echo "no installer in $packages: make it with cpack -G NSIS"; exit 1; }
fail() { echo "check-installer: $*" >&2; exit 1; }
wineprefix=${DNIARZ_WINEPREFIX:-$(cd "$(dirname "$wine_run")" && pwd)/wineprefix}
# The installer and uninstaller hand their work on to other processes; wait until all have ended.
settle() { WINEPREFIX="$wineprefix" wineserver -w; }
unix_path() { "$wine_run" winepath -u "$1" | tr -d '\r'; }
windows_var() { "$wine_run" cmd /c echo "%$1%" | tr -d '\r'; }
uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\Dniarz'
has_key() { "$wine_run" reg query "$1\\$uninstall_key" >/dev/null 2>&1; }
key_value() { "$wine_run" reg query "$1\\$uninstall_key" /v "$2" | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z]* *//p"; }
shortcuts() { find "$wineprefix/drive_c" -path "*Start Menu*" -name "Dniarz*.lnk"; }

local_app_data=$(windows_var LOCALAPPDATA)
[ -n "$local_app_data" ] || fail "Wine tells no LOCALAPPDATA"
notes_home=$(unix_path "$local_app_data")/Dniarz
user_target=$(unix_path "$local_app_data")/Programs/Dniarz
all_target="$wineprefix/drive_c/Program Files/Dniarz"
files=(bin/dniarz.exe bin/dniarz-window.dll bin/Qt6Core.dll bin/Qt6Gui.dll bin/Qt6Widgets.dll
       bin/platforms/qwindows.dll bin/libstdc++-6.dll share/dniarz/info.rtf share/dniarz/ferie-zimowe.txt
       Uninstall.exe)
# A value of the program's own settings, as the program keeps them; an update must not touch it.
settings='HKCU\Software\Brenvik\dniarz'

check_installed() {  # TARGET ROOT WINDOWS_PROGRAM
    for f in "${files[@]}"; do [ -s "$1/$f" ] || fail "missing $1/$f"; done
    shortcuts | grep -q . || fail "no Start-menu shortcut"
    [ "$(shortcuts | wc -l)" = 1 ] || fail "more than one shortcut: $(shortcuts)"
    has_key "$2" || fail "no uninstall entry under $2"
    out=$("$wine_run" "$3" --print-day 2026-12-07 --lat 52.23 --lon 21.01 | tr -d '\r')
    grep -q "^date: 2026.12.07$" <<<"$out" || fail "the installed program printed no day: $out"
}

check_removed() {  # TARGET ROOT
    [ ! -e "$1/bin/dniarz.exe" ] || fail "the uninstaller left bin\\dniarz.exe"
    shortcuts | grep -q . && fail "the shortcut is still there: $(shortcuts)"
    has_key "$2" && fail "the uninstall entry under $2 is still there"
    grep -q notatka "$notes_home/dnz.dat" || fail "the uninstaller removed the notes"
    "$wine_run" reg query "$settings" /v Sprawdzenie >/dev/null 2>&1 || fail "the uninstaller removed the settings"
}

# For the current user: the default, needing no rights.
"$wine_run" "$installer" /S
settle
check_installed "$user_target" HKCU "$(windows_var LOCALAPPDATA)\\Programs\\Dniarz\\bin\\dniarz.exe"
has_key HKLM && fail "a per-user install wrote an uninstall entry under HKLM"
[ "$(key_value HKCU InstallLocation)" = "$local_app_data\\Programs\\Dniarz" ] \
    || fail "the entry's location is $(key_value HKCU InstallLocation)"

# The user's notes and settings, where the installed program keeps them; then an update over it.
mkdir -p "$notes_home"
echo notatka >"$notes_home/dnz.dat"
"$wine_run" reg add "$settings" /v Sprawdzenie /t REG_SZ /d zostaje /f >/dev/null
"$wine_run" "$installer" /S
settle
check_installed "$user_target" HKCU "$(windows_var LOCALAPPDATA)\\Programs\\Dniarz\\bin\\dniarz.exe"
grep -q notatka "$notes_home/dnz.dat" || fail "the update removed the notes"
"$wine_run" reg query "$settings" /v Sprawdzenie >/dev/null 2>&1 || fail "the update removed the settings"

# The uninstaller as Windows' list of programs starts it, silent.
uninstall=$(key_value HKCU UninstallString)
grep -qF '/CurrentUser' <<<"$uninstall" || fail "the uninstall entry does not name its mode: $uninstall"
"$wine_run" "$(unix_path "$local_app_data")/Programs/Dniarz/Uninstall.exe" /CurrentUser /S
settle
check_removed "$user_target" HKCU

# For every user, when asked (Wine runs as an administrator, so no elevation prompt comes).
"$wine_run" "$installer" /S /AllUsers
settle
check_installed "$all_target" HKLM 'C:\Program Files\Dniarz\bin\dniarz.exe'
has_key HKCU && fail "an install for every user wrote an uninstall entry under HKCU"
"$wine_run" 'C:\Program Files\Dniarz\Uninstall.exe' /AllUsers /S
settle
check_removed "$all_target" HKLM

rm -r "$notes_home"
"$wine_run" reg delete "$settings" /v Sprawdzenie /f >/dev/null
echo "installed (for the user, over itself, for every user), ran and uninstalled $(basename "$installer")" \
     "($(stat -c %s "$installer") bytes)"
