#!/usr/bin/env bash
# Builds the static Qt for Windows that vx.exe links, from Debian's own qt6-base source (the
# same version as the host's moc, rcc and uic), into a cache outside the checkout, and prints the
# prefix. A cache made from the same source version, configure line, patches, toolchain file and
# compiler is reused as it is; otherwise the build takes about 45 minutes on two cores.
# Usage: scripts/windows/build-qt.sh        (VX_CACHE_DIR overrides ~/.cache/vx)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
toolchain=$top/cmake/mingw-w64-x86_64.cmake
cache=${VX_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/vx}

qt_version=$(dpkg-query -W -f='${Version}' libqt6core6)
mingw_version=$(x86_64-w64-mingw32-g++-posix -dumpfullversion 2>/dev/null || x86_64-w64-mingw32-g++-posix -dumpversion)
# This script's own text holds the configure line, so it is part of the key.
key=$( { echo "$qt_version $mingw_version"; cat "$0" "$toolchain" "$here"/qt-patches/*.patch; } |
    sha256sum | cut -c1-12)
prefix=$cache/qt-6.4.2-mingw-static-$key
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

work=$cache/qt-build-$key
rm -rf "$work" "$prefix"
mkdir -p "$work" "$prefix"
# Qt's generated toolchain file names the mingw one by its absolute path: keep a copy in the
# prefix so the cache does not depend on where the checkout was.
cp "$toolchain" "$prefix/mingw-w64-x86_64.cmake"

ensure_deb_src() {
    apt-get source --print-uris "qt6-base=$qt_version" >/dev/null 2>&1 && return 0
    # Source entries mirroring the machine's own binary ones.
    local list=/etc/apt/sources.list.d/vx-deb-src.sources
    local sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
            "${sudo_cmd[@]}" tee "$list" >/dev/null
    else
        grep -h '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' |
            "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/vx-deb-src.list >/dev/null
    fi
    "${sudo_cmd[@]}" apt-get update -q >/dev/null
}

{
    cd "$work"
    ensure_deb_src
    apt-get source -q "qt6-base=$qt_version"
    src=$(find "$work" -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)
    for p in "$here"/qt-patches/*.patch; do
        patch -d "$src" -p1 --forward <"$p"
    done
    mkdir -p "$work/build"
    cd "$work/build"
    cmake -G Ninja "$src" \
        -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw-w64-x86_64.cmake" \
        -DQT_HOST_PATH=/usr \
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DCMAKE_BUILD_TYPE=Release \
        -DBUILD_SHARED_LIBS=OFF \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
        -DFEATURE_pkg_config=OFF \
        -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_xml=OFF \
        -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF \
        -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF \
        -DFEATURE_testlib=ON \
        -DFEATURE_tabletevent=OFF \
        -DFEATURE_zstd=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF \
        -DFEATURE_androiddeployqt=OFF -DFEATURE_direct2d=OFF
    cmake --build . --parallel "$(nproc)"
    cmake --install .
} >"$cache/qt-build-$key.log" 2>&1 || {
    echo "build-qt.sh: the Qt build failed; the last lines of $cache/qt-build-$key.log:" >&2
    tail -n 30 "$cache/qt-build-$key.log" >&2
    exit 1
}
rm -rf "$work"
touch "$prefix/.complete"
echo "$prefix"
