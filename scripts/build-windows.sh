#!/usr/bin/env bash
# Builds vx for 64-bit Windows on this Debian machine, from this checkout: the static Qt first
# (once; it is kept in ~/.cache/vx), then vx.exe, the setup program vx-<version>-setup.exe and the
# portable vx-<version>-windows-x64.zip, all three in build-windows/dist/.
# Usage: scripts/build-windows.sh [--tests]   (--tests: the unit tests that run under Wine too)
# VX_WINDOWS_BUILD_DIR overrides build-windows/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
tests=OFF
[ "${1:-}" = --tests ] && tests=ON
build=${VX_WINDOWS_BUILD_DIR:-$top/build-windows}

"$top/scripts/windows/install-deps.sh"
qt=$("$top/scripts/windows/build-qt.sh")

# ctest runs the tests under Wine (scripts/windows/wine-run.sh).
mkdir -p "$build"
cmake -S "$top" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$top/scripts/windows/wine-run.sh;$build" \
    -DCMAKE_BUILD_TYPE=Release -DVX_BUILD_TESTS=$tests -DVX_BUILD_BENCH=OFF >"$build/configure.log" ||
    { cat "$build/configure.log" >&2; exit 1; }
cmake --build "$build" --parallel "$(nproc)"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
stage=$build/stage
dist=$build/dist
rm -rf "$stage" "$dist"
mkdir -p "$stage" "$dist"
x86_64-w64-mingw32-strip -o "$stage/vx.exe" "$build/app/vx.exe"
cp "$top/assets/icons/vx.ico" "$stage/vx.ico"
# Texts for Notepad: CR LF, and the README's Chinese marked as UTF-8.
sed 's/$/\r/' "$top/LICENSE" >"$stage/LICENSE.txt"
{ printf '\xef\xbb\xbf'; sed 's/$/\r/' "$top/packaging/windows/README.txt"; } >"$stage/README.txt"

size_kb=$(( ($(stat -c %s "$stage/vx.exe") + 1023) / 1024 ))
setup=$dist/vx-$version-setup.exe
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$setup" -DSIZE_KB="$size_kb" \
    "$top/packaging/windows/vx.nsi"
zip=$dist/vx-$version-windows-x64.zip
(cd "$stage" && mkdir "vx-$version" && cp vx.exe LICENSE.txt README.txt "vx-$version/" &&
    zip -q -9 -X -r "$zip" "vx-$version" && rm -r "vx-$version")
cp "$stage/vx.exe" "$dist/vx.exe"
ls -l "$dist"
