#!/usr/bin/env bash
# vx answers --help and --version with no display and no file touched, refuses what it does not
# know, and a start from the desktop menu works in $XDG_DATA_HOME/vx, not where it was started.
# Usage: command_line.sh path/to/vx version
set -euo pipefail
vx=$(realpath "$1")
tmp=$(mktemp -d "${TMPDIR:-/tmp}/vx-command-line-XXXXXX")
pid=
trap '[ -z "$pid" ] || { kill "$pid" && wait "$pid"; } 2>/dev/null || true; rm -rf "$tmp"' EXIT
mkdir "$tmp/cwd" "$tmp/home" "$tmp/ports"
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

QT_QPA_PLATFORM=offscreen VX_SERIAL_PORT_DIR=$tmp/ports "$vx" --desktop-entry >/dev/null 2>&1 &
pid=$!
for _ in $(seq 200); do
    [ -e "$tmp/data/vx/系統資料電腦" ] && break
    sleep 0.1
done
[ -e "$tmp/data/vx/系統資料電腦" ] || { echo "no port-settings file in \$XDG_DATA_HOME/vx"; exit 1; }
[ -z "$(ls -A)" ] || { echo "vx --desktop-entry wrote into the folder it was started in"; exit 1; }
