#!/usr/bin/env bash
# The README's pictures of vx in English (LANG=en_US.UTF-8): the main window reading the
# simulated counter, the box that tells a pulled cable, and the big readout; then the big readout
# in Traditional Chinese.
#
# bench/readme_shots.sh [OUT-FOLDER [VX]]     (docs/ and build/app/vx unless told)
set -euo pipefail

here=$(dirname "$(realpath "$0")")
out=$(realpath -m "${1:-$here/../docs}")
vx=$(realpath "${2:-$here/../build/app/vx}")
sim=${SIM:-$here/../build/tools/vx515sim/vx515sim}
source "$here/common.sh"
install_missing Xvfb:xvfb xdpyinfo:x11-utils xdotool:xdotool import:imagemagick ||
    { echo "readme_shots: could not install what it needs" >&2; exit 1; }
mkdir -p "$out"
tmp=$(mktemp -d "${TMPDIR:-/tmp}/vx-readme-shots-XXXXXX")
trap 'stop_started; rm -rf "$tmp"' EXIT
trap 'exit 130' INT TERM
start_screen "$tmp" || exit 1
mkdir -p "$tmp/work" "$tmp/ports"
export XDG_CONFIG_HOME=$tmp/config

mkfifo "$tmp/sim.in"
"$sim" --dir "$tmp/ports" --port 1 --still --log "$tmp/sim.log" <"$tmp/sim.in" >/dev/null &
bench_pids+=($!)
exec 4>"$tmp/sim.in"
port_settings >"$tmp/work/系統資料電腦"
start_vx() {
    (cd "$tmp/work" && exec env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG="$1" \
        VX_SERIAL_PORT_DIR="$tmp/ports" "$vx") >/dev/null 2>&1 &
    vx_pid=$!
    bench_pids+=($vx_pid)
}
start_vx en_US.UTF-8

# Keys go to the window with the focus, as a person's would.
press() {
    xdotool windowfocus "$(xdotool search --onlyvisible --name "$1" | head -1)" key --clearmodifiers "$2"
}

shot 'Three-axis readout' "$out/main-window-en.png"
press 'Three-axis readout' F11
shot 'Big readout' "$out/big-readout-en.png"
press 'Big readout' Escape
echo pull >&4 # the cable is pulled: the next poll finds the device gone
shot 'No USB signal' "$out/message-box-en.png"
echo plug >&4
stop_process "$vx_pid"
start_vx C.UTF-8
shot '三軸顯示' "$tmp/main.png"
press '三軸顯示' F11
shot '大字顯示' "$out/big-readout.png"
exec 4>&-
echo "readme_shots: $out/main-window-en.png, big-readout-en.png, message-box-en.png, big-readout.png"
