#!/usr/bin/env bash
# Start-up time of vx, from launch to the main window, with the simulated counter present on the
# stored port and with no counter at all (the port scan runs). Prints seconds; needs a build.
# Usage: bench/startup_time.sh [build-folder] [runs]
set -euo pipefail
build=$(realpath "${1:-build}")
runs=${2:-3}
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$work/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
export XDG_CONFIG_HOME="$work/config"
# The window is looked for by its documented title: vx runs in Traditional Chinese.
export LANG=C.UTF-8
unset LANGUAGE LC_ALL LC_MESSAGES

# Seconds from launch until a window with that name exists; the program is ended afterwards.
time_to_window() {
    local folder=$1 name=$2
    local start end pid
    start=$(date +%s.%N)
    (cd "$folder" && exec "$build/app/vx") >/dev/null 2>&1 &
    pid=$!
    # A tight loop of its own: xdotool's --sync only looks twice a second.
    until xdotool search --name "$name" >/dev/null 2>&1; do
        sleep 0.01
        kill -0 "$pid" 2>/dev/null || { echo "vx ended before its window appeared" >&2; return 1; }
    done
    end=$(date +%s.%N)
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    echo "$end - $start" | bc
}

mkdir -p "$work/ports" "$work/present" "$work/absent" "$work/empty"
"$build/tools/vx515sim/vx515sim" --dir "$work/ports" --port 1 </dev/null >"$work/sim.out" 2>&1 &
pids+=($!)
for _ in $(seq 100); do grep -q READY "$work/sim.out" && break; sleep 0.1; done

echo "launch to main window, seconds ($runs runs each)"
for _ in $(seq "$runs"); do
    rm -f "$work/present/"*
    printf 'counter present on port 1: %s\n' \
        "$(VX_SERIAL_PORT_DIR="$work/ports" time_to_window "$work/present" '^三軸顯示$')"
done
for _ in $(seq "$runs"); do
    rm -f "$work/absent/"*
    printf 'no counter (scan of ports 1-8): %s\n' \
        "$(VX_SERIAL_PORT_DIR="$work/empty" time_to_window "$work/absent" '^三軸顯示$')"
done
