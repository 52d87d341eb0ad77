#!/usr/bin/env bash
# Instructions that vx executes per line it shows, counted by callgrind while it polls the
# simulated counter at 9600 baud on a virtual screen, with the functions that cost the most.
# Start-up is not counted: counting starts once the main window has shown lines for 2 s.
# Prints figures; passes or fails nothing.
#
# bench/instructions_per_line.sh [build-folder] [seconds] [top]   (default: build, 20 s, 25)
# VX=/path/to/vx counts another build of vx with this build's simulator; KEEP=file keeps the
# callgrind dump there, for callgrind_annotate --tree=caller; SILENT=1 counts with the counter
# silent instead, per 50 ms tick.
set -euo pipefail

build=$(realpath -m "${1:-build}")
window=${2:-20}
top=${3:-25}
vx=$(realpath -m "${VX:-$build/app/vx}")
sim=$build/tools/vx515sim/vx515sim
say() { echo "instructions_per_line: $*" >&2; }
source "$(dirname "$0")/common.sh"
for program in "$vx" "$sim"; do
    [[ -x $program ]] || { say "$program is missing; build the targets vx and vx515sim"; exit 1; }
done
install_missing Xvfb:xvfb xdpyinfo:x11-utils xdotool:xdotool valgrind:valgrind ||
    { say "could not install what it needs"; exit 1; }

tmp=$(mktemp -d "${TMPDIR:-/tmp}/vx-callgrind-XXXXXX")
trap 'stop_started; rm -rf "$tmp"' EXIT
trap 'exit 130' INT TERM
start_screen "$tmp" || exit 1

mkdir -p "$tmp/ports" "$tmp/work" "$tmp/config"
mkfifo "$tmp/sim.in"
"$sim" --dir "$tmp/ports" --port 1 --log "$tmp/sim.log" <"$tmp/sim.in" >"$tmp/sim.out" &
bench_pids+=($!)
exec 4>"$tmp/sim.in"
wait_for 5 has_line "$tmp/sim.out" '^READY' || { say "the simulator did not get ready"; exit 1; }
port_settings >"$tmp/work/系統資料電腦"

(cd "$tmp/work" && VX_SERIAL_PORT_DIR=$tmp/ports XDG_CONFIG_HOME=$tmp/config \
    exec valgrind --tool=callgrind --instr-atstart=no --callgrind-out-file="$tmp/callgrind.out" \
    "$vx") >"$tmp/vx.log" 2>&1 &
vx_pid=$!
bench_pids+=("$vx_pid")
if ! timeout 120 xdotool search --sync --onlyvisible --name '三軸顯示' >/dev/null 2>&1; then
    say "no main window within 120 s; it said:"
    cat "$tmp/vx.log" >&2
    exit 1
fi
sleep 2
if [[ -n ${SILENT:-} ]]; then
    echo 'silent on' >&4
    sleep 3
fi
polls() { grep -c ' poll$' "$tmp/sim.log" || true; }
callgrind_control -i on "$vx_pid" >/dev/null
p0=$(polls)
sleep "$window"
callgrind_control -d "$vx_pid" >/dev/null
p1=$(polls)
callgrind_control -i off "$vx_pid" >/dev/null

dump=$(ls -t "$tmp"/callgrind.out* | head -1)
[[ -z ${KEEP:-} ]] || cp "$dump" "$KEEP"
callgrind_annotate --inclusive=no "$dump" >"$tmp/self.txt" 2>/dev/null
callgrind_annotate --inclusive=yes "$dump" >"$tmp/inclusive.txt" 2>/dev/null
total=$(awk '/PROGRAM TOTALS/ { gsub(",", "", $1); print $1 }' "$tmp/self.txt")
lines=$((p1 - p0))
if [[ -n ${SILENT:-} ]]; then
    lines=$((window * 20)) # ticks, and what follows is per tick
    echo "vx $vx: counter silent, ${window} s under callgrind"
    awk -v t="$total" -v l="$lines" 'BEGIN { printf "instructions per 50 ms tick: %.0f (%.3g in all)\n", t / l, t }'
else
    ((lines > 0)) || { say "no line was shown while counting"; exit 1; }
    echo "vx $vx: $lines lines shown in ${window} s under callgrind"
    awk -v t="$total" -v l="$lines" 'BEGIN { printf "instructions per line shown: %.0f (%.3g in all)\n", t / l, t }'
fi
for kind in self inclusive; do
    echo
    echo "top $top functions, $kind instructions per ${SILENT:+tick}${SILENT:-line}:" | sed "s/tick1/tick/"
    awk -v l="$lines" -v top="$top" '/^-+$/ { rule++; next }
        rule >= 3 && NF >= 2 && n < top {
            ir = $1; gsub(",", "", ir); if (ir !~ /^[0-9]+$/) next
            name = $0; sub(/^ *[0-9,]+ +(\([^)]*\) +)?/, "", name)
            printf "  %9.0f  %s\n", ir / l, substr(name, 1, 110); n++ }' "$tmp/$kind.txt"
done
