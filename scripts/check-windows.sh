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
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVX_BUILD_TESTS=ON >"$work/linux-build.log" &&
    cmake --build build --parallel "$(nproc)" --target vx515sim e2e_windows_tests \
        >>"$work/linux-build.log" 2>&1 || { tail -n 40 "$work/linux-build.log" >&2; exit 1; }

trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
make_prefix

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

# The unit tests under Wine, through the build's emulator, which plugs the simulator into COM1 for
# the serial tests.
rm -rf "$build/test-results"
ctest --test-dir "$build" --output-on-failure --timeout 600 >"$work/results/unit.log" 2>&1 || true
for t in $(ctest --test-dir "$build" -N | sed -n 's/^ *Test *#[0-9]*: //p'); do
    count_cases "$build/test-results/$t.xml"
done
tail -n 3 "$work/results/unit.log"
echo "check-windows: unit tests under Wine: $passed passed, $failed failed"

# vx.exe end to end, as shipped, on a display of its own.
map_com 1 "$work/ports/COM1"
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
