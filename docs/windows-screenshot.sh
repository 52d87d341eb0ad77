#!/usr/bin/env bash
# Takes docs/windows-main-window.png: vx.exe of scripts/build-windows.sh under Wine, on a virtual
# display, reading the simulated counter on COM1.
# Usage: docs/windows-screenshot.sh   (after scripts/build-windows.sh; and scripts/build.sh app
# for the simulator)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${VX_WINDOWS_BUILD_DIR:-$top/build-windows}
work=$build/screenshot
rm -rf "$work"
mkdir -p "$work/ports" "$work/work"
export WINEPREFIX=${VX_WINE_PREFIX:-$build/wine} WINE_LOG=$work/wine.log
# shellcheck source=../scripts/windows/wine-rig.sh
source "$top/scripts/windows/wine-rig.sh"

pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wineserver -k >/dev/null 2>&1 || true
}
trap cleanup EXIT

make_prefix
map_com 1 "$work/ports/COM1"
# The documented texts: Wine's display language follows LANG, which is English for C.
wine reg add 'HKCU\Software\Vx\Vx\Settings' /v Language /d zh_TW /f >>"$WINE_LOG" 2>&1
restart_server
mkfifo "$work/sim.in"
"$top/build/tools/vx515sim/vx515sim" --dir "$work/ports" --port 1 --still \
    --log "$work/sim.log" <>"$work/sim.in" >"$work/sim.out" 2>&1 &
pids+=($!)
wait_for_text "$work/sim.out" READY 10
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp -noreset 5>"$work/display" >/dev/null 2>&1 &
pids+=($!)
until [ -s "$work/display" ]; do sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
(cd "$work/work" && exec wine "$build/dist/vx.exe") >"$work/vx.out" 2>&1 &
vx_pid=$!
pids+=($vx_pid)
window=
for _ in $(seq 300); do
    window=$(xdotool search --onlyvisible --name '^三軸顯示$' 2>/dev/null | head -n 1) &&
        [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "no main window; see $work/vx.out" >&2; exit 1; }
# A few polls answered: the readings are on the window.
for _ in $(seq 100); do [ "$(grep -c ' poll$' "$work/sim.log")" -ge 10 ] && break; sleep 0.1; done
import -window "$window" "$top/docs/windows-main-window.png"
xdotool windowfocus "$window" key --clearmodifiers ctrl+x 2>/dev/null || true
for _ in $(seq 100); do kill -0 "$vx_pid" 2>/dev/null || break; sleep 0.1; done
echo "docs/windows-main-window.png"
