#!/usr/bin/env bash
# vx answers --help and --version with no display and no file touched, and refuses what it does
# not know. (scripts/check-package.sh checks the menu's launch, --desktop-entry, on the package.)
# Usage: command_line.sh path/to/vx version
set -euo pipefail
vx=$(realpath "$1")
tmp=$(mktemp -d "${TMPDIR:-/tmp}/vx-command-line-XXXXXX")
trap 'rm -rf "$tmp"' EXIT
mkdir "$tmp/cwd" "$tmp/home"
cd "$tmp/cwd"
export HOME=$tmp/home TMPDIR=$tmp XDG_DATA_HOME=$tmp/data
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM XDG_CONFIG_HOME

while read -r status args; do
    actual=0
    "$vx" $args >"$tmp/out" 2>&1 || actual=$?
    [ "$actual" = "$status" ] || { echo "vx $args: status $actual, not $status"; exit 1; }
    [ -z "$(ls -A)$(ls -A "$tmp/home")" ] || { echo "vx $args left files behind"; exit 1; }
done <<'ROWS'
0 --help
0 -h
0 --version
2 --help-all
2 --bogus
2 somefile
ROWS
[ "$("$vx" --version)" = "vx $2" ] || { echo "vx --version does not say vx $2"; exit 1; }

