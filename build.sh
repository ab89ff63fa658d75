#!/usr/bin/env bash
# Set-up, build and run on Debian 12:
#   ./build.sh run    installs what is missing, builds, starts the program
#   ./build.sh test   installs what is missing, builds, runs every test
# The Windows program, cross-built with MinGW-w64 and tested under Wine:
#   ./build.sh windows             builds Qt for MinGW once (cached, 20 minutes and more), then
#                                  build-windows/dniarz.exe, its tests, the installer and the
#                                  portable ZIP (build-windows/packages/)
#   ./build.sh test-windows        the same, then runs the Windows tests under Wine
#   ./build.sh test-windows-core   the core and the platform layer only, no Qt needed
# Building Qt for MinGW needs Debian's source packages: when apt has no deb-src entry, one is added
# to the system's apt configuration (/etc/apt/sources.list.d/dniarz-src.sources).
set -euo pipefail
cd "$(dirname "$0")"

packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-svg-dev libgl-dev libgtest-dev libgmock-dev
          libbenchmark-dev fonts-liberation libasound2-dev libsndfile1-dev qt6-translations-l10n libical-dev
          qtkeychain-qt6-dev)
# Only the tests need these: peers to check against (an NTP server, two RTF readers, a second
# iCalendar reader, two calendars to exchange files with, PyEphem for the astronomy benchmark
# bench/almanac_vs_pyephem.sh, dateutil's Easter for the feasts), the validators of the installed
# files, the Debian package tools and lintian, the format check, a private message bus for the
# notification tests, for the screen-reader tests an X server, the AT-SPI bus and its Python
# client, and Qt's platform header that switches Qt's accessibility on offscreen, the calendar
# servers and clients the sync is tested against (Radicale, Xandikos, python3-caldav, vdirsyncer
# with khal), and ripgrep and calcurse as the peers of the search and import benchmarks
# (bench/command_line_vs_peers.py). chrony stays off a machine that only builds and runs the
# program, since it would become its time service.
test_packages=(chrony pandoc libreoffice-writer-nogui desktop-file-utils appstream dpkg-dev clang-format
               python3-icalendar python3-ephem python3-dateutil dbus-daemon lintian khal calcurse
               xvfb at-spi2-core python3-pyatspi qt6-base-private-dev
               radicale xandikos python3-caldav vdirsyncer ripgrep)

# The Windows build's cross compiler, Wine to run its tests, NSIS for the installer, and what
# building Qt from Debian's source takes (its source package, the Linux Qt tools as host tools),
# the fonts the window tests draw with under Wine, and Python for the sound test's wave and pitch.
windows_packages=(g++-mingw-w64-x86-64-posix qt6-translations-l10n mingw-w64-tools wine wine64 nsis dpkg-dev qt6-base-dev-tools
                  fonts-liberation python3)

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

# Configures and builds build-windows; with "core" without Qt and the window.
build_windows() {
    install_missing "${windows_packages[@]}"
    local prefixes
    prefixes=$(tools/build-qt-mingw.sh gtest)
    local gui=ON
    if [ "${1:-}" = core ]; then
        gui=OFF
    else
        prefixes="$prefixes;$(nice -n 19 tools/build-qt-mingw.sh qt)"
    fi
    cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
          -DCMAKE_PREFIX_PATH="$prefixes" -DQT_HOST_PATH=/usr -DDNIARZ_GUI=$gui -DDNIARZ_BENCH=OFF \
          -DDNIARZ_WERROR=ON >/dev/null
    cmake --build build-windows
    if [ "$gui" = ON ]; then
        (cd build-windows && cpack -G NSIS >/dev/null)
        cmake --build build-windows --target portable_zip
    fi
}

test_windows() {
    # Side by side the tests would each wait on Wine starting; two at a time keeps the machine usable.
    # The Wine runner notes each program it ran once more because Wine dropped its connection.
    local reruns=build-windows/wine-reruns.log status=0
    rm -f "$reruns"
    ctest --test-dir build-windows --output-on-failure -j 2 || status=$?
    if [ -s "$reruns" ]; then
        echo "Wine dropped $(wc -l <"$reruns") connections; rerun:"
        sed 's/^/  /' "$reruns"
    fi
    return "$status"
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
windows)
    build_windows
    ;;
test-windows)
    build_windows
    test_windows
    ;;
test-windows-core)
    build_windows core
    test_windows
    ;;
*)
    echo "usage: $0 run|test|windows|test-windows|test-windows-core" >&2
    echo "  windows and test-windows build Qt for MinGW from Debian's source packages; when apt has no" >&2
    echo "  deb-src entry, they add /etc/apt/sources.list.d/dniarz-src.sources to the system's apt" >&2
    echo "  configuration" >&2
    exit 2
    ;;
esac
