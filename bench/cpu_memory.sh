#!/usr/bin/env bash
# CPU share and resident memory of the vx program on a virtual screen, talking to the counter
# simulator: while it polls at 9600 baud, then while the counter is silent and only the re-poll
# of a silent counter runs. Prints figures; passes or fails nothing.
#
# bench/cpu_memory.sh [build-folder] [seconds]      (default: build, 10 s a window)
set -euo pipefail

build=${1:-build}
window=${2:-10}
vx=$(realpath -m "$build/app/vx")
sim=$(realpath -m "$build/tools/vx515sim/vx515sim")
for program in "$vx" "$sim"; do
    if [[ ! -x $program ]]; then
        echo "cpu_memory: $program is missing; build the targets vx and vx515sim" >&2
        exit 2
    fi
done
for tool in Xvfb xdotool; do
    if ! command -v "$tool" >/dev/null; then
        echo "cpu_memory: $tool is missing" >&2
        exit 2
    fi
done

tmp=$(mktemp -d "${TMPDIR:-/tmp}/vx-cpu-memory-XXXXXX")
xvfb_pid=
sim_pid=
vx_pid=

# Ends one process of ours: a polite signal, a deadline, then a kill; always reaped.
stop_process() {
    local pid=$1 polite=$2
    [[ -n $pid ]] || return 0
    kill "-$polite" "$pid" 2>/dev/null || true
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

cleanup() {
    stop_process "$vx_pid" TERM
    if [[ -n $sim_pid ]]; then
        echo quit 2>/dev/null >&4 || true
        exec 4>&- || true
        stop_process "$sim_pid" TERM
    fi
    stop_process "$xvfb_pid" TERM
    rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Waits until the command succeeds, at most the given seconds.
wait_for() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}

has_line() { [[ -s $1 ]] && grep -q "$2" "$1"; }

# The virtual screen picks a free display number and writes it on descriptor 3.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
xvfb_pid=$!
if ! wait_for 10 has_line "$tmp/display" '[0-9]'; then
    echo "cpu_memory: Xvfb gave no display; see its log:" >&2
    cat "$tmp/xvfb.log" >&2
    exit 1
fi
display=:$(tr -dc 0-9 <"$tmp/display")

# The simulator reads its commands from a pipe that stays open on descriptor 4.
mkdir -p "$tmp/ports" "$tmp/work" "$tmp/config"
mkfifo "$tmp/sim.in"
"$sim" --dir "$tmp/ports" --port 1 --axes 3 --log "$tmp/sim.log" <"$tmp/sim.in" >"$tmp/sim.out" &
sim_pid=$!
exec 4>"$tmp/sim.in"
if ! wait_for 5 has_line "$tmp/sim.out" '^READY'; then
    echo "cpu_memory: the simulator did not get ready" >&2
    exit 1
fi

# The port-settings file: record 1 the port number, record 2 the speed, 20 bytes each.
{
    printf '\001\000'
    head -c 18 /dev/zero
    printf '\004\0009600'
    head -c 14 /dev/zero
} >"$tmp/work/系統資料電腦"

(
    cd "$tmp/work"
    DISPLAY=$display VX_SERIAL_PORT_DIR=$tmp/ports XDG_CONFIG_HOME=$tmp/config exec "$vx"
) >"$tmp/vx.log" 2>&1 &
vx_pid=$!
if ! DISPLAY=$display timeout 20 xdotool search --sync --onlyvisible --name '三軸顯示' >/dev/null 2>&1 </dev/null; then
    echo "cpu_memory: the main window did not appear within 20 s; the program said:" >&2
    cat "$tmp/vx.log" >&2
    exit 1
fi

ticks_per_second=$(getconf CLK_TCK)

# utime + stime of the process, in clock ticks.
cpu_ticks() {
    local stat
    stat=$(<"/proc/$vx_pid/stat")
    stat=${stat##*) } # the name may hold spaces; the fields after it do not
    read -r -a fields <<<"$stat"
    # Fields 14 and 15 of the file are the 12th and 13th after the name.
    echo $((fields[11] + fields[12]))
}

status_kb() { awk -v key="$1:" '$1 == key { print $2 }' "/proc/$vx_pid/status"; }
answered() { grep -c ' RX .* poll$' "$tmp/sim.log" || true; }
ignored() { grep -c 'poll ignored (silent)' "$tmp/sim.log" || true; }

# One window: CPU as a percentage of one core, lines answered and polls ignored per second.
measure() {
    local name=$1 ticks0 ticks1 t0 t1 lines0 lines1 silent0 silent1
    lines0=$(answered)
    silent0=$(ignored)
    ticks0=$(cpu_ticks)
    t0=$(date +%s.%N)
    sleep "$window"
    ticks1=$(cpu_ticks)
    t1=$(date +%s.%N)
    lines1=$(answered)
    silent1=$(ignored)
    awk -v name="$name" -v dt="$((ticks1 - ticks0))" -v hz="$ticks_per_second" \
        -v t0="$t0" -v t1="$t1" -v lines="$((lines1 - lines0))" \
        -v silent="$((silent1 - silent0))" -v rss="$(status_kb VmRSS)" \
        -v hwm="$(status_kb VmHWM)" 'BEGIN {
            wall = t1 - t0
            printf "%-8s %7.2f %% of a core (%d ticks of 1/%d s in %.2f s); " \
                   "%.2f polls answered/s, %.2f ignored/s; VmRSS %.1f MiB, VmHWM %.1f MiB\n",
                   name, 100 * dt / hz / wall, dt, hz, wall, lines / wall, silent / wall,
                   rss / 1024, hwm / 1024
        }'
}

echo "cpu_memory: $vx on display $display with $sim at 9600 baud, ${window} s a window"
sleep 2 # the first lines and the window's first paint are not part of either figure
measure polling
echo 'silent on' >&4
sleep 3 # the line in flight ends and the idle re-poll takes over
measure idle
