#!/usr/bin/env bash
# Installs the Debian packages for the Windows build and its tests under Wine: the mingw-w64
# cross compiler (posix threads), the host Qt tools of the same version as the Qt built for
# Windows, Wine, NSIS and what the tests drive the windows with.
set -euo pipefail
packages=(
    cmake ninja-build perl dpkg-dev xz-utils zstd zip
    qt6-base-dev qt6-base-dev-tools qt6-tools-dev-tools qt6-l10n-tools
    g++-mingw-w64-x86-64-posix
    wine wine64 xvfb xdotool imagemagick x11-utils
    nsis fonts-arphic-uming fonts-arphic-ukai fonts-dejavu-core
    libgtest-dev python3
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing for the Windows build: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update
    "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
