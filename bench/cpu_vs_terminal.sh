#!/usr/bin/env bash
# CPU and memory of vx beside a serial terminal (GTKTerm) that shows the same 20 lines a second,
# both on one virtual screen, each with a simulated counter of its own: vx polls its counter,
# GTKTerm's counter streams unasked. Then vx with a silent counter beside a bare Qt program that
# runs only a 50 ms timer. Prints figures; passes or fails nothing.
#
# bench/cpu_vs_terminal.sh [build-folder] [seconds]      (default: build, 20 s a window)
# VX=/path/to/vx measures another build of vx with this build's simulator and helpers.
set -euo pipefail

build=$(realpath -m "${1:-build}")
window=${2:-20}
vx=$(realpath -m "${VX:-$build/app/vx}")
sim=$build/tools/vx515sim/vx515sim
bare=$build/bench/bare_timer
shim=$build/bench/pty_port_present.so

say() { echo "cpu_vs_terminal: $*" >&2; }
source "$(dirname "$0")/common.sh"

# The benchmark's own tools, installed here and not by the tests' setup.
install_missing Xvfb:xvfb xdpyinfo:x11-utils xdotool:xdotool gtkterm:gtkterm strace:strace ||
    { say "could not install what it needs"; exit 1; }
if [[ ! -x $sim || ! -x $bare || ! -f $shim ]]; then
    cmake --build "$build" --target vx515sim bare_timer pty_port_present -j2 >/dev/null || {
        say "could not build vx515sim, bare_timer and pty_port_present in $build"
        exit 1
    }
fi
[[ -x $vx ]] || { say "$vx is missing; build the target vx"; exit 1; }

tmp=$(mktemp -d "${TMPDIR:-/tmp}/vx-cpu-terminal-XXXXXX")
trap 'stop_started; rm -rf "$tmp"' EXIT
trap 'exit 130' INT TERM
# A virtual screen each: an X server does part of a client's drawing (GTKTerm's text is drawn by
# the server through XRender, vx's by vx itself), so each server's CPU is measured with its client.
mkdir -p "$tmp/x1" "$tmp/x2"
start_screen "$tmp/x1" || exit 1
vx_display=$DISPLAY vx_xvfb=${bench_pids[-1]}
start_screen "$tmp/x2" || exit 1
gtkterm_display=$DISPLAY gtkterm_xvfb=${bench_pids[-1]}

# Two counters, each with a command pipe held open on a descriptor of ours.
mkdir -p "$tmp/ports" "$tmp/work" "$tmp/home/.config" "$tmp/config"
start_sim() {
    local port=$1 fd=$2
    shift 2
    mkfifo "$tmp/sim$port.in"
    "$sim" --dir "$tmp/ports" --port "$port" --log "$tmp/sim$port.log" "$@" \
        <"$tmp/sim$port.in" >"$tmp/sim$port.out" &
    bench_pids+=($!)
    eval "exec $fd>\"\$tmp/sim\$port.in\""
    wait_for 5 has_line "$tmp/sim$port.out" '^READY' || { say "simulator $port not ready"; exit 1; }
}
start_sim 1 4
start_sim 2 5 --stream 20

# vx on port 1 at 9600 baud (the port-settings file: port, then speed, 20-byte records).
port_settings >"$tmp/work/系統資料電腦"
(cd "$tmp/work" && DISPLAY=$vx_display VX_SERIAL_PORT_DIR=$tmp/ports XDG_CONFIG_HOME=$tmp/config \
    exec "$vx") \
    >"$tmp/vx.log" 2>&1 &
vx_pid=$!
bench_pids+=("$vx_pid")

# GTKTerm on port 2, 9600 baud, 8N2, with a configuration so it asks nothing at start.
cat >"$tmp/home/.config/.gtktermrc" <<'EOF'
[default]
port	= /dev/ttyS0
speed	= 9600
bits	= 8
stopbits	= 2
parity	= none
flow	= none
wait_delay	= 0
wait_char	= -1
echo	= False
crlfauto	= False
timestamp	= False
font	= "Monospace 12"
EOF
DISPLAY=$gtkterm_display HOME=$tmp/home LD_PRELOAD=$shim gtkterm -p "$tmp/ports/COM2" -s 9600 -t 2 \
    >"$tmp/gtkterm.log" 2>&1 &
gtkterm_pid=$!
bench_pids+=("$gtkterm_pid")

window_of() {
    DISPLAY=$1 timeout 20 xdotool search --sync --onlyvisible --name "$2" 2>/dev/null | head -1
}
vx_window=$(window_of "$vx_display" '三軸顯示') || true
gtkterm_window=$(window_of "$gtkterm_display" 'GTKTerm') || true
[[ -n $vx_window ]] || { say "no vx window; it said:"; cat "$tmp/vx.log" >&2; exit 1; }
[[ -n $gtkterm_window ]] || { say "no GTKTerm window; it said:"; cat "$tmp/gtkterm.log" >&2; exit 1; }

# Nanoseconds on a CPU, summed over the threads (the first field of each task's schedstat).
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%d", s }'; }
switches() {
    cat /proc/"$1"/task/*/status 2>/dev/null |
        awk '/^(non)?voluntary_ctxt_switches/ { s += $2 } END { printf "%d", s }'
}
reads() { awk '$1 == "syscr:" { print $2 }' "/proc/$1/io"; }
rss_kb() { awk '$1 == "VmRSS:" { print $2 }' "/proc/$1/status"; }
count() { grep -c "$2" "$1" || true; }
now() { date +%s.%N; }

say "vx $vx on $vx_display, GTKTerm $(dpkg-query -W -f '${Version}' gtkterm 2>/dev/null) on $gtkterm_display, ${window} s a window"
sleep 3 # first paints and the first lines are not part of the figures

# Window 1: both showing lines.
v0=$(cpu_ns "$vx_pid") g0=$(cpu_ns "$gtkterm_pid") s0=$(switches "$vx_pid") r0=$(reads "$vx_pid")
x0=$(cpu_ns "$vx_xvfb") y0=$(cpu_ns "$gtkterm_xvfb")
l0=$(count "$tmp/sim1.log" ' poll$') m0=$(count "$tmp/sim2.log" ' streamed$') t0=$(now)
sleep "$window"
v1=$(cpu_ns "$vx_pid") g1=$(cpu_ns "$gtkterm_pid") s1=$(switches "$vx_pid") r1=$(reads "$vx_pid")
x1=$(cpu_ns "$vx_xvfb") y1=$(cpu_ns "$gtkterm_xvfb")
l1=$(count "$tmp/sim1.log" ' poll$') m1=$(count "$tmp/sim2.log" ' streamed$') t1=$(now)
vx_rss=$(rss_kb "$vx_pid") gtkterm_rss=$(rss_kb "$gtkterm_pid")

# The system calls behind those figures, attached for a shorter while (strace slows what it sees).
strace -c -f -p "$vx_pid" -o "$tmp/strace.txt" >/dev/null 2>&1 &
strace_pid=$!
sleep 10
kill -INT "$strace_pid" 2>/dev/null || true
wait "$strace_pid" 2>/dev/null || true

# Window 2: vx with a silent counter beside the bare timer.
echo 'silent on' >&4
DISPLAY=$vx_display "$bare" >"$tmp/bare.log" 2>&1 &
bare_pid=$!
bench_pids+=("$bare_pid")
sleep 3 # the line in flight ends; the bare program is up
w0=$(cpu_ns "$vx_pid") b0=$(cpu_ns "$bare_pid") u0=$(now)
sleep "$window"
w1=$(cpu_ns "$vx_pid") b1=$(cpu_ns "$bare_pid") u1=$(now)
bare_rss=$(rss_kb "$bare_pid")

awk -v v="$((v1 - v0))" -v g="$((g1 - g0))" -v xv="$((x1 - x0))" -v xg="$((y1 - y0))" -v s="$((s1 - s0))" -v r="$((r1 - r0))" \
    -v l="$((l1 - l0))" -v m="$((m1 - m0))" -v t="$(echo "$t1 - $t0" | bc)" \
    -v w="$((w1 - w0))" -v b="$((b1 - b0))" -v u="$(echo "$u1 - $u0" | bc)" \
    -v vr="$vx_rss" -v gr="$gtkterm_rss" -v br="$bare_rss" 'BEGIN {
    pct = 1e-7 # ns per s of wall time, as % of a core
    printf "%-30s %12s %12s %10s\n", "showing lines", "vx", "GTKTerm", "vx/GTKTerm"
    printf "%-30s %12.1f %12.1f\n", "lines a second", l / t, m / t
    printf "%-30s %12.3f %12.3f %10.2f\n", "CPU, % of one core", v / t * pct, g / t * pct, v / g
    printf "%-30s %12.3f %12.3f %10.2f\n", "its X server, % of one core", xv / t * pct, xg / t * pct,
        xv / xg
    printf "%-30s %12.3f %12.3f %10.2f\n", "both, % of one core", (v + xv) / t * pct,
        (g + xg) / t * pct, (v + xv) / (g + xg)
    printf "%-30s %12.1f %12.1f %10.2f\n", "VmRSS, MiB", vr / 1024, gr / 1024, vr / gr
    printf "%-30s %12.3f\n", "vx CPU per 50 ms tick, ms", v / 1e6 / (t / 0.05)
    printf "%-30s %12.0f\n", "vx read calls a second", r / t
    printf "%-30s %12.0f\n", "vx context switches a second", s / t
    printf "\n%-30s %12s %12s %10s\n", "counter silent", "vx", "bare timer", "vx/bare"
    printf "%-30s %12.3f %12.3f %10.2f\n", "CPU, % of one core", w / u * pct, b / u * pct, w / b
    printf "%-30s %12.4f %12.4f\n", "CPU per 50 ms tick, ms", w / 1e6 / (u / 0.05), b / 1e6 / (u / 0.05)
    printf "%-30s %12.1f %12.1f\n", "VmRSS, MiB", vr / 1024, br / 1024
}'
echo
echo "vx system calls a second while showing lines (strace -c -f, 10 s):"
awk '/^-----/ { n++; next } n == 1 && NF >= 5 { printf "  %-16s %8.0f%s\n", $NF, $4 / 10,
     (NF == 6 ? sprintf("  (%.0f of them failed)", $5 / 10) : "") }' "$tmp/strace.txt" |
    sort -k2 -n -r | head -8
