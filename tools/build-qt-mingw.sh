#!/usr/bin/env bash
# Builds, for 64-bit Windows with MinGW-w64, GoogleTest and Qt's base module (Core, Gui, Widgets,
# Test, the windows and offscreen platforms) from Debian's own source packages of the versions the
# Linux build uses, with the Linux Qt tools as host tools. Each goes into a cache folder outside
# the repository with a stamp, so that a machine builds them once.
#   tools/build-qt-mingw.sh gtest    prints GoogleTest's install folder, building it when missing
#   tools/build-qt-mingw.sh [qt]     the same for Qt
# When apt knows no source packages yet, it adds a deb-src entry for the machine's suite to the
# system's apt configuration (/etc/apt/sources.list.d/dniarz-src.sources), saying so first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
what=${1:-qt}
qt_version=6.4.2
gtest_version=1.12.1
cache=${DNIARZ_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/dniarz}
jobs=${DNIARZ_JOBS:-2}
toolchain=$root/cmake/mingw-w64-x86_64.cmake

case $what in
qt) prefix=$cache/qt6-mingw-$qt_version ;;
gtest) prefix=$cache/googletest-mingw-$gtest_version ;;
*) echo "usage: $0 [qt|gtest]" >&2; exit 2 ;;
esac
stamp=$prefix/.built
# Qt's own texts in Polish: Debian's translations of the same Qt version serve any system, and Qt
# looks for them under its prefix, where the window tests under Wine find them as the program does.
add_translations() {
    if [ "$what" = qt ] && [ -f /usr/share/qt6/translations/qtbase_pl.qm ]; then
        mkdir -p "$prefix/translations"
        cp -u /usr/share/qt6/translations/qtbase_pl.qm "$prefix/translations/"
    fi
}
if [ -f "$stamp" ]; then
    add_translations
    echo "$prefix"
    exit 0
fi

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
src=$cache/src
mkdir -p "$src"
# Unpacks a source package once; prints its folder.
fetch() {
    if [ ! -d "$src/$2" ]; then
        # apt-get source needs a deb-src entry for the machine's suite; Debian 12 has none by default.
        if ! apt-get source --print-uris "$1" >/dev/null 2>&1; then
            suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
            echo "build-qt-mingw: adding Debian's source packages for $suite to the system's apt" \
                 "configuration (/etc/apt/sources.list.d/dniarz-src.sources)" >&2
            printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
                "$suite" | $sudo tee /etc/apt/sources.list.d/dniarz-src.sources >/dev/null
            $sudo apt-get update -qq
        fi
        (cd "$src" && apt-get source -qq "$1" >&2)
    fi
    echo "$src/$2"
}

# A build cut off (a machine switched off, a session ended) goes on where it stopped.
build=$cache/build-$what-mingw
[ "$what" = qt ] && build=$cache/build-qt6-mingw
rm -rf "$prefix"
start=$(date +%s)
if [ "$what" = gtest ]; then
    source_dir=$(fetch googletest "googletest-$gtest_version")
    cmake -S "$source_dir" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF >&2
else
    source_dir=$(fetch qt6-base "qt6-base-$qt_version+dfsg")
    # OpenGL stays on (loaded at run time): the Windows platform plugin of this version does not
    # compile without it. Debian's source carries no wintab.h, hence no tablet events. The bundled
    # third-party libraries are used, as MinGW has none of its own.
    cmake -S "$source_dir" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DBUILD_SHARED_LIBS=ON \
        -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF -DFEATURE_network=OFF \
        -DFEATURE_xml=OFF -DFEATURE_concurrent=OFF -DFEATURE_tabletevent=OFF \
        -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
        -DFEATURE_system_freetype=OFF -DFEATURE_system_libpng=OFF -DFEATURE_system_libjpeg=OFF >&2
fi
cmake --build "$build" -j "$jobs" >&2
cmake --install "$build" >&2
echo "$what for MinGW built in $(($(date +%s) - start)) s" | tee "$stamp" >&2
rm -rf "$build"
add_translations
echo "$prefix"
