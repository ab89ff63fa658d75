#!/usr/bin/env bash
# Set-up, build and run on Debian 12:
#   ./build.sh run    installs what is missing, builds, starts the program
#   ./build.sh test   installs what is missing, builds, runs every test
set -euo pipefail
cd "$(dirname "$0")"

packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-svg-dev libgl-dev libgtest-dev libgmock-dev
          libbenchmark-dev fonts-liberation libasound2-dev libsndfile1-dev qt6-translations-l10n libical-dev)
# Only the tests need these: peers to check against (an NTP server, two RTF readers, a second
# iCalendar reader, PyEphem for the astronomy benchmark bench/almanac_vs_pyephem.sh), the
# validators of the installed files, the Debian package tools, the format check and a private
# message bus for the notification tests. chrony stays off a machine that only builds and runs the
# program, since it would become its time service.
test_packages=(chrony pandoc libreoffice-writer-nogui desktop-file-utils appstream dpkg-dev clang-format
               python3-icalendar python3-ephem dbus-daemon)

install_missing() {
    local missing=()
    for p in "${packages[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {
    local dir=$1; shift
    cmake -S . -B "$dir" -G Ninja -DDNIARZ_WERROR=ON "$@" >/dev/null
    cmake --build "$dir"
}

case "${1:-}" in
run)
    install_missing
    build build
    shift
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        ./build/dniarz --print-day
        echo "dniarz: the window needs a display (no DISPLAY or WAYLAND_DISPLAY is set)"
    else
        exec ./build/dniarz "$@"
    fi
    ;;
test)
    install_missing "${test_packages[@]}"
    build build
    ctest --test-dir build --output-on-failure -j "$(nproc)"
    ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
