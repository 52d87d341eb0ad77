#!/usr/bin/env bash
# Screenshots of vx in fixed states, to compare two builds pixel by pixel: the splash (with and
# without 無信號), the main window reading a counter that does not drift (three axes, metric),
# paused (Halt), imperial, and two axes. With two programs it prints, per state, how many pixels
# differ and where (the clock panel is left out: it shows the time of the shot).
#
# bench/window_shots.sh OUT-FOLDER VX [VX2]      (the simulator is taken from build/ beside VX)
set -euo pipefail

out=$(realpath -m "$1")
shift
programs=("$@")
((${#programs[@]} >= 1)) || { echo "usage: $0 OUT-FOLDER VX [VX2]" >&2; exit 2; }
here=$(dirname "$(realpath "$0")")
sim=${SIM:-$here/../build/tools/vx515sim/vx515sim}
source "$here/common.sh"
install_missing Xvfb:xvfb xdpyinfo:x11-utils xdotool:xdotool import:imagemagick ||
    { echo "window_shots: could not install what it needs" >&2; exit 1; }
mkdir -p "$out"
tmp=$(mktemp -d "${TMPDIR:-/tmp}/vx-shots-XXXXXX")
trap 'stop_started; rm -rf "$tmp"' EXIT
trap 'exit 130' INT TERM
start_screen "$tmp" || exit 1
screen_pids=("${bench_pids[@]}")

# Clicks a point of the main window and moves the pointer off it, so no button is hovered.
click() {
    local id
    id=$(xdotool search --onlyvisible --name "$1" | head -1)
    xdotool mousemove --window "$id" "$2" "$3" click 1 mousemove 1000 700
}

for n in "${!programs[@]}"; do
    vx=$(realpath "${programs[n]}")
    dir=$out/$n
    mkdir -p "$dir" "$tmp/$n/empty" "$tmp/$n/work" "$tmp/$n/ports" "$tmp/$n/splash"
    export XDG_CONFIG_HOME=$tmp/$n/config

    # No counter anywhere: the splash stays while the handshake waits, then says 無信號.
    (cd "$tmp/$n/splash" && VX_SERIAL_PORT_DIR=$tmp/$n/empty exec "$vx") >/dev/null 2>&1 &
    splash_pid=$!
    shot splash "$dir/splash.png" || true
    sleep 2
    shot splash "$dir/splash-no-signal.png" || true
    stop_process "$splash_pid"

    mkfifo "$tmp/$n/sim.in"
    "$sim" --dir "$tmp/$n/ports" --port 1 --still --log "$tmp/$n/sim.log" \
        <"$tmp/$n/sim.in" >/dev/null &
    bench_pids+=($!)
    exec 4>"$tmp/$n/sim.in"
    port_settings >"$tmp/$n/work/系統資料電腦"
    (cd "$tmp/$n/work" && VX_SERIAL_PORT_DIR=$tmp/$n/ports exec "$vx") >/dev/null 2>&1 &
    bench_pids+=($!)
    shot '三軸顯示' "$dir/three-axes.png"
    click '三軸顯示' 240 92 # Halt
    shot '三軸顯示' "$dir/halt.png"
    click '三軸顯示' 240 92 # Go
    click '三軸顯示' 436 304 # I/M: the counter shows inches
    shot '三軸顯示' "$dir/imperial.png"
    echo 'axes 2' >&4
    shot '二軸顯示' "$dir/two-axes.png"
    exec 4>&-
    for ((i = ${#bench_pids[@]} - 1; i >= ${#screen_pids[@]}; i--)); do
        stop_process "${bench_pids[i]}"
    done
    bench_pids=("${screen_pids[@]}")
done

((${#programs[@]} == 2)) || exit 0
echo "pixels that differ between $out/0 and $out/1 (clock panel left out):"
for a in "$out"/0/*.png; do
    b=$out/1/$(basename "$a")
    name=$(basename "$a" .png)
    if [[ ! -f $b ]]; then
        echo "  $name: missing in $out/1"
        continue
    fi
    # The time panel sits at the right end of the status bar, the last 20 pixels of the window.
    read -r w h < <(identify -format '%w %h\n' "$a")
    for f in "$a" "$b"; do
        convert "$f" -fill black -draw "rectangle $((w - 80)),$((h - 20)) $w $h" "$tmp/masked-$(basename "$(dirname "$f")").png"
    done
    count=$(compare -metric AE "$tmp/masked-0.png" "$tmp/masked-1.png" "$out/diff-$name.png" 2>&1 || true)
    where=""
    if [[ $count != 0 ]]; then
        where=$(convert "$tmp/masked-0.png" "$tmp/masked-1.png" -compose difference -composite \
            -threshold 0 -format '%@' info:)
    fi
    echo "  $name: $count ${where:+in $where}"
done
