#!/usr/bin/env bash
# Installs the Debian packages that are missing for building and running the programs, and with
# "tests", "package" and "sanitizers" also for the tests, for building and checking the Debian
# package, and for the clang build with sanitizers and the fuzz targets.
# Usage: scripts/install-deps.sh [tests] [package] [sanitizers]
set -euo pipefail

packages=(
    # building and running (./run.sh, also on a virtual display)
    cmake g++ make pkg-config
    qt6-base-dev qt6-qpa-plugins qt6-translations-l10n libgl-dev
    # the English catalogue: lupdate and lrelease, and qt_add_translations for CMake
    qt6-tools-dev qt6-l10n-tools
    fonts-arphic-uming fonts-arphic-ukai
    xvfb xdotool imagemagick
)
for group in "$@"; do
    case $group in
    tests) packages+=(libgtest-dev x11-utils procps bc at-spi2-core gir1.2-atspi-2.0 python3-gi dbus-x11) ;;
    package) packages+=(dpkg-dev file lintian desktop-file-utils appstream x11-utils) ;;
    sanitizers) packages+=(libgtest-dev clang libclang-rt-14-dev llvm) ;;
    *)
        echo "install-deps.sh: unknown group $group (tests, package, sanitizers)" >&2
        exit 2
        ;;
    esac
done

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]} (a few minutes on a fresh machine)"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update
    "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
