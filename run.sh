#!/usr/bin/env bash
# Installs what is missing, builds the two programs, starts the counter simulator on port 1 and
# the program connected to it. Without a display it runs on a virtual one for a few seconds and
# leaves a screenshot of the program's window.
#
# The simulator takes commands while it runs: echo "axes 2" > run/vx515sim.in
# (see build/tools/vx515sim/vx515sim --help for the list).
set -euo pipefail
cd "$(dirname "$0")"
top=$PWD

echo "Checking the Debian packages it needs (installing missing ones takes a few minutes)..."
scripts/install-deps.sh
echo "Building vx and vx515sim into build/ (1 to 3 minutes on two cores the first time," \
    "seconds after)..."
started=$SECONDS
scripts/build.sh app
echo "Built in $((SECONDS - started)) s."

echo "Starting the simulated counter and vx..."
run_dir="$top/run"
mkdir -p "$run_dir/ports" "$run_dir/work"
rm -f "$run_dir/ports/COM"*

pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    exec 3>&- 2>/dev/null || true
}
trap cleanup EXIT

# The simulator reads its commands from a pipe that stays open while this script runs.
fifo="$run_dir/vx515sim.in"
rm -f "$fifo"
mkfifo "$fifo"
exec 3<>"$fifo"
build/tools/vx515sim/vx515sim --dir "$run_dir/ports" --port 1 --log "$run_dir/vx515sim.log" \
    <"$fifo" >"$run_dir/vx515sim.out" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    grep -q READY "$run_dir/vx515sim.out" 2>/dev/null && break
    sleep 0.1
done
grep -q READY "$run_dir/vx515sim.out" || { echo "the simulator did not start:"; cat "$run_dir/vx515sim.out"; exit 1; }
echo "Simulated counter on port 1: $(grep READY "$run_dir/vx515sim.out" | cut -d' ' -f2)"
echo "Its log: $run_dir/vx515sim.log; commands: echo \"axes 2\" > $fifo"

export VX_SERIAL_PORT_DIR="$run_dir/ports"
if [ -n "${DISPLAY:-}" ]; then
    (cd "$run_dir/work" && "$top/build/app/vx")
    exit 0
fi

# No display: a virtual one, a few seconds of readings, and a screenshot.
displayfile="$run_dir/display"
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$displayfile" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$displayfile")"
(cd "$run_dir/work" && exec "$top/build/app/vx") >"$run_dir/vx.out" 2>&1 &
vx_pid=$!
pids+=($vx_pid)
# The title in either language: vx speaks the user's (English or Traditional Chinese).
if ! window=$(timeout 30 xdotool search --sync --name '^(三軸顯示|Three-axis readout)$' | head -n 1); then
    echo "the main window did not appear; see $run_dir/vx.out"
    exit 1
fi
sleep 3 # let the readings run for a moment before the picture
import -window "$window" "$run_dir/screenshot.png"
xdotool windowfocus "$window" key --clearmodifiers ctrl+x 2>/dev/null || true
for _ in $(seq 50); do kill -0 "$vx_pid" 2>/dev/null || break; sleep 0.1; done
echo "No display here: vx ran on a virtual display. Screenshot: $run_dir/screenshot.png"
