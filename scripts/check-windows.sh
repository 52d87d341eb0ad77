#!/usr/bin/env bash
# The Windows build, checked under Wine on this machine: builds vx.exe, its setup program, the zip
# and the unit tests for Windows (scripts/build-windows.sh --tests), then runs the unit tests
# under Wine with COM1 mapped to the simulator, the end-to-end test of vx.exe on a virtual display,
# and the setup program's silent install, start and uninstall. Prints the count of test cases.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
started=$(date +%s)
scripts/build-windows.sh --tests
build=${VX_WINDOWS_BUILD_DIR:-$top/build-windows}
work=$build/check
rm -rf "$work"
mkdir -p "$work/ports" "$work/results"
export WINEPREFIX=${VX_WINE_PREFIX:-$build/wine} WINE_LOG=$work/wine.log
# shellcheck source=windows/wine-rig.sh
source scripts/windows/wine-rig.sh

# The Linux side: the simulator, and the end-to-end harness that drives vx.exe.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVX_BUILD_TESTS=ON >/dev/null
cmake --build build --parallel "$(nproc)" --target vx515sim e2e_windows_tests >/dev/null
sim=$top/build/tools/vx515sim/vx515sim

sim_pid=
cleanup() {
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null
    wineserver -k >/dev/null 2>&1 || true
}
trap cleanup EXIT

make_prefix
map_com 1 "$work/ports/COM1"
restart_server

passed=0
failed=0
# Adds up the cases of a GoogleTest XML report; a case that was skipped counts as failed, since
# every case here has what it needs.
count_cases() {
    local counts
    counts=$(python3 - "$1" <<'PY'
import sys, xml.etree.ElementTree as ET
try:
    cases = ET.parse(sys.argv[1]).getroot().iter("testcase")
except Exception:
    print("0 1"); sys.exit()
ok = bad = 0
for c in cases:
    if c.find("failure") is not None or c.get("result") == "skipped" or c.find("skipped") is not None:
        bad += 1
        print("  not passed:", c.get("classname") + "." + c.get("name"), file=sys.stderr)
    else:
        ok += 1
print(ok, bad)
PY
)
    passed=$((passed + ${counts% *}))
    failed=$((failed + ${counts#* }))
}

# Unit tests, with the simulator on COM1 taking commands through a pipe that never closes.
mkfifo "$work/sim.in"
"$sim" --dir "$work/ports" --port 1 --log "$work/sim.log" <>"$work/sim.in" >"$work/sim.out" 2>&1 &
sim_pid=$!
wait_for_text "$work/sim.out" READY 10 || { echo "check-windows: the simulator did not start" >&2; exit 1; }
for t in platform link readout datalog win32; do
    exe=$build/tests/$t/${t}_tests.exe
    xml=$work/results/${t}_tests.xml
    VX_TEST_SIM_PORT=1 VX_TEST_SIM_COMMANDS=$(winpath "$work/sim.in") \
        VX_TEST_SIM_LOG=$(winpath "$work/sim.log") \
        run_with_deadline 300 wine "$exe" --gtest_output="xml:$(winpath "$xml")" \
        </dev/null >"$work/results/${t}_tests.log" 2>&1 || true
    count_cases "$xml"
    echo "check-windows: ${t}_tests under Wine: $passed passed, $failed failed so far"
done
kill "$sim_pid" && wait "$sim_pid" 2>/dev/null || true
sim_pid=

# vx.exe end to end, as shipped, on a display of its own.
restart_server
VX_WINDOWS_EXE=$build/dist/vx.exe VX_WINE_PORTS_DIR=$work/ports \
    run_with_deadline 600 build/tests/e2e/e2e_windows_tests \
    --gtest_output="xml:$work/results/e2e_windows_tests.xml" >"$work/results/e2e.log" 2>&1 || true
count_cases "$work/results/e2e_windows_tests.xml"
echo "check-windows: end to end under Wine: $passed passed, $failed failed so far"

# The setup program: silent install per machine, the installed program answers, silent uninstall.
scripts/windows/check-setup.sh "$build" && passed=$((passed + 1)) || failed=$((failed + 1))

echo "check-windows: $(( $(date +%s) - started )) s; artefacts in $work and build/artifacts/e2e-windows"
echo "windows: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
