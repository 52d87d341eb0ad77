#!/usr/bin/env bash
# CPU share of vx at 20 lines a second (9600 baud, the simulator polled by vx) on a 1920x1080
# virtual screen: first with the big readout closed, then open over the whole screen, in one run.
# CPU is the time on a core of all of vx's threads (/proc/PID/task/*/schedstat). Prints figures;
# passes or fails nothing.
#
# bench/big_readout_cpu.sh [build-folder] [seconds]      (default: build, 20 s a window)
set -euo pipefail

build=${1:-build}
window=${2:-20}
vx=$(realpath -m "$build/app/vx")
sim=$(realpath -m "$build/tools/vx515sim/vx515sim")
for program in "$vx" "$sim"; do
    [[ -x $program ]] || { echo "big_readout_cpu: $program is missing" >&2; exit 2; }
done
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "big_readout_cpu: $tool is missing" >&2; exit 2; }
done

source "$(dirname "$0")/common.sh"
tmp=$(mktemp -d "${TMPDIR:-/tmp}/vx-big-readout-XXXXXX")
trap 'stop_started; rm -rf "$tmp"' EXIT
trap 'exit 130' INT TERM

start_screen "$tmp" 1920x1080x24 || exit 1
mkdir -p "$tmp/ports" "$tmp/work" "$tmp/config"
mkfifo "$tmp/sim.in"
"$sim" --dir "$tmp/ports" --port 1 --axes 3 --log "$tmp/sim.log" <"$tmp/sim.in" >"$tmp/sim.out" &
bench_pids+=($!)
exec 4>"$tmp/sim.in"
wait_for 5 has_line "$tmp/sim.out" '^READY' || { echo "big_readout_cpu: no simulator" >&2; exit 1; }
port_settings >"$tmp/work/系統資料電腦"

(cd "$tmp/work" && VX_SERIAL_PORT_DIR=$tmp/ports XDG_CONFIG_HOME=$tmp/config exec "$vx") \
    >"$tmp/vx.log" 2>&1 &
vx_pid=$!
bench_pids+=($vx_pid)
main=$(timeout 20 xdotool search --sync --onlyvisible --name '三軸顯示' </dev/null | head -1) ||
    { echo "big_readout_cpu: no main window; vx said:" >&2; cat "$tmp/vx.log" >&2; exit 1; }

# Nanoseconds on a core of every thread of vx.
cpu_ns() { cat /proc/"$vx_pid"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { print s }'; }
answered() { grep -c ' RX .* poll$' "$tmp/sim.log" || true; }
measure() {
    local name=$1 c0 c1 t0 t1 l0 l1
    c0=$(cpu_ns); l0=$(answered); t0=$(date +%s%N)
    sleep "$window"
    c1=$(cpu_ns); l1=$(answered); t1=$(date +%s%N)
    awk -v n="$name" -v c="$((c1 - c0))" -v t="$((t1 - t0))" -v l="$((l1 - l0))" \
        'BEGIN { printf "%-28s %6.2f %% of a core, %.1f lines/s over %.1f s\n", n, 100 * c / t, l * 1e9 / t, t / 1e9 }'
}

echo "big_readout_cpu: $vx on $DISPLAY (1920x1080), 9600 baud, ${window} s a window"
sleep 2
measure "big readout closed"
xdotool windowfocus --sync "$main" key F11
big=$(timeout 10 xdotool search --sync --onlyvisible --name '大字顯示' </dev/null | head -1)
xdotool windowfocus --sync "$big" key F11 # full screen; without a window manager, sized by hand
xdotool windowmove "$big" 0 0 windowsize "$big" 1920 1080
sleep 2
measure "big readout 1920x1080"
