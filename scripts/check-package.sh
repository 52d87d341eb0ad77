#!/usr/bin/env bash
# Builds the Debian package in build-package/ (the programs only, a Release build as the README
# shows), checks it with lintian -I --pedantic (a tag not explained below fails), unpacks it
# into a temporary folder and runs the unpacked programs: --version of both, vx --help in an
# empty folder without a display, and the desktop entry's command against the simulator under
# Xvfb until the main window is up and the counter's lines reach it. Validates the desktop entry and the AppStream metadata. Ends with status 0 when all is
# well. KEEP_TMP=1 keeps the temporary folder (logs of both programs) for a look after a failure.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
scripts/install-deps.sh package

fail() {
    echo "check-package: $*" >&2
    exit 1
}

# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

# The README's own build steps: a plain Release build, whose hardening comes from CMake
# (cmake/hardening.cmake), not from dpkg-buildflags.
build=build-package
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVX_BUILD_TESTS=OFF -DVX_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)"
rm -f "$build"/vx_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(echo "$build"/vx_*.deb)
[ -f "$deb" ] || fail "cpack made no package"
echo "Package: $deb, $(stat -c %s "$deb") bytes"

tmp=$(mktemp -d "${TMPDIR:-/tmp}/vx-check-package-XXXXXX")
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    [ -n "${KEEP_TMP:-}" ] || rm -rf "$tmp"
}
trap cleanup EXIT

# Every tag lintian gives, down to the informational and pedantic ones, fails the check unless it
# is explained here:
# - (none today)
explained=()
lintian -I --pedantic "$deb" 2>&1 | grep -v "running with root" >"$tmp/lintian.txt" || true
echo "lintian -I --pedantic: $(wc -l <"$tmp/lintian.txt") remarks"
cat "$tmp/lintian.txt"
unexplained=""
for tag in $(sed -n 's/^[EWIPXO]: [^ ]*: \([^ ]*\).*/\1/p' "$tmp/lintian.txt" | sort -u); do
    [[ " ${explained[*]} " == *" $tag "* ]] || unexplained="$unexplained $tag"
done
[ -z "$unexplained" ] || fail "lintian tags without an explanation:$unexplained"
root=$tmp/root
dpkg-deb -x "$deb" "$root"
vx=$root/usr/bin/vx
sim=$root/usr/bin/vx515sim
version=$(dpkg-deb -f "$deb" Version)

# The unpacked programs take nothing from the build tree.
if readelf -d "$vx" "$sim" | grep -qE 'RPATH|RUNPATH' || ldd "$vx" "$sim" | grep -qF "$top"; then
    fail "the unpacked programs look for libraries in the build tree"
fi
[ "$("$vx" --version)" = "vx $version" ] || fail "vx --version does not say vx $version"
[ "$("$sim" --version)" = "vx515sim $version" ] || fail "vx515sim --version does not say $version"

# --help answers without a display and leaves the folder, and the home, as they were.
mkdir "$tmp/empty" "$tmp/home"
(cd "$tmp/empty" && env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_CONFIG_HOME -u XDG_DATA_HOME \
    HOME="$tmp/home" "$vx" --help >"$tmp/help.txt") || fail "vx --help did not end with status 0"
grep -q -- --desktop-entry "$tmp/help.txt" || fail "vx --help does not list --desktop-entry"
[ -z "$(ls -A "$tmp/empty")$(ls -A "$tmp/home")" ] || fail "vx --help left files behind"

desktop=$(echo "$root"/usr/share/applications/*.desktop)
desktop-file-validate "$desktop" || fail "desktop-file-validate: $desktop"
appstreamcli validate --no-net --pedantic "$root"/usr/share/metainfo/*.metainfo.xml ||
    fail "appstreamcli finds faults in the metadata"
appstreamcli validate-tree --no-net "$root" >/dev/null || fail "appstreamcli validate-tree"

# The menu's command, against the simulated counter, on a virtual display.
mkdir "$tmp/ports" "$tmp/cwd"
"$sim" --dir "$tmp/ports" --port 1 --log "$tmp/sim.log" </dev/null >"$tmp/sim.out" 2>&1 &
pids+=($!)
wait_for 10 grep -q READY "$tmp/sim.out" || fail "the simulator did not start: $(cat "$tmp/sim.out")"
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$tmp/display" >/dev/null 2>&1 &
pids+=($!)
wait_for 10 test -s "$tmp/display" || fail "Xvfb did not start"
read -ra command <<<"$(sed -n 's/^Exec=//p' "$desktop")"
[ "${command[0]}" = vx ] || fail "the desktop entry does not start vx: ${command[*]}"
# In its documented language, whatever the caller's: the window is looked for by its title.
(cd "$tmp/cwd" && exec env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=C.UTF-8 \
    DISPLAY=":$(cat "$tmp/display")" VX_SERIAL_PORT_DIR="$tmp/ports" \
    HOME="$tmp/home" XDG_DATA_HOME="$tmp/data" XDG_CONFIG_HOME="$tmp/config" \
    "$root/usr/bin/vx" "${command[@]:1}") >"$tmp/vx.out" 2>&1 &
vx_pid=$!
pids+=($vx_pid)
export DISPLAY=":$(cat "$tmp/display")"
window=$(timeout 30 xdotool search --sync --name '^三軸顯示$' | head -n 1) ||
    fail "the main window did not appear: $(cat "$tmp/vx.out")"
# Docks tie the window to its menu entry by the window's class, and show the window's own icon.
wm_class=$(xprop -id "$window" WM_CLASS)
startup_class=$(sed -n 's/^StartupWMClass=//p' "$desktop")
[[ -n "$startup_class" && "$wm_class" == *"\"$startup_class\""* ]] ||
    fail "the window's class ($wm_class) is not the desktop entry's StartupWMClass ($startup_class)"
xprop -id "$window" _NET_WM_ICON >"$tmp/icon.txt"
grep -q 'Icon (48 x 48)' "$tmp/icon.txt" || fail "the window has no icon"
# Answered polls come one a line, a few a second; unanswered ones one in 1.3 s.
polls() { grep -c '"O" poll' "$tmp/sim.log" || true; }
before=$(polls)
answered() { [ "$(polls)" -ge $((before + 10)) ]; }
wait_for 10 answered || fail "the simulator's lines do not reach vx"
[ -f "$tmp/data/vx/系統資料電腦" ] || fail "no port-settings file in \$XDG_DATA_HOME/vx"
[ -z "$(ls -A "$tmp/cwd")" ] || fail "the menu's launch wrote into the folder it was started in"
xdotool windowfocus "$window" key --clearmodifiers ctrl+x 2>/dev/null
ended() { ! kill -0 "$vx_pid" 2>/dev/null; }
wait_for 10 ended || fail "vx did not end on File > Exit"
[ -f "$tmp/config/Vx/Vx.conf" ] || fail "vx did not store its window at the end"
echo "check-package: $deb is good ($(stat -c %s "$deb") bytes, version $version)"
