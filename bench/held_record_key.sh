#!/usr/bin/env bash
# Records written while the record key is held down, on a real X server with its own key repeat:
# vx against the simulated counter, a new log file through 檔案 > 新增, then F12 held for the
# given seconds (xdotool keydown/keyup). Prints the records in the log for each run; one a press is
# what a foot pedal held a little long should give. Needs a build.
# Usage: bench/held_record_key.sh [build-folder] [seconds-held] [runs]
set -euo pipefail
build=$(realpath "${1:-build}")
held=${2:-2}
runs=${3:-3}
# shellcheck source=common.sh
source "$(dirname "$0")/common.sh"
work=$(mktemp -d)
trap 'stop_started; rm -rf "$work"' EXIT
start_screen "$work"

for run in $(seq "$runs"); do
    d=$work/$run
    mkdir -p "$d/ports" "$d/cwd" "$d/config"
    "$build/tools/vx515sim/vx515sim" --dir "$d/ports" --port 1 </dev/null >"$d/sim.out" 2>&1 &
    bench_pids+=($!)
    wait_for 10 has_line "$d/sim.out" READY
    (cd "$d/cwd" && XDG_CONFIG_HOME=$d/config VX_SERIAL_PORT_DIR=$d/ports exec "$build/app/vx") \
        >"$d/vx.out" 2>&1 &
    bench_pids+=($!)
    main=$(timeout 30 xdotool search --sync --onlyvisible --name '^三軸顯示$' | head -1)
    xdotool windowfocus --sync "$main" key ctrl+n
    timeout 10 xdotool search --sync --onlyvisible --name '^開啟$' >/dev/null
    sleep 0.5 # the dialog's name field has the focus
    xdotool type "$d/log.txt"
    xdotool key Return
    wait_for 10 test -f "$d/log.txt"
    xdotool windowfocus --sync "$main" keydown F12
    sleep "$held"
    xdotool keyup F12
    sleep 1 # the line after the last request comes within 0.1 s
    echo "run $run: F12 held $held s: $(grep -c '^X' "$d/log.txt") records"
    stop_started
    start_screen "$work"
done
