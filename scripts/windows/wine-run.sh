#!/usr/bin/env bash
# Runs a Windows test program under Wine for ctest: the Windows build's CMAKE_CROSSCOMPILING_EMULATOR
# (scripts/build-windows.sh sets it). The program runs in the build's own Wine prefix, made on
# first use; a test whose VX_TEST_SIM names the (Linux) simulator gets it on COM1, taking commands
# through a pipe (VX_TEST_SIM_COMMANDS) and logging to VX_TEST_SIM_LOG; a report path of
# GoogleTest's is handed on as its Windows name.
# Usage: wine-run.sh BUILD_DIR PROGRAM.exe [ARGUMENTS...]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1
exe=$2
shift 2
run=$build/wine-run
mkdir -p "$run/ports"
export WINEPREFIX=${VX_WINE_PREFIX:-$build/wine} WINE_LOG=$run/wine.log
# shellcheck source=wine-rig.sh
source "$here/wine-rig.sh"
make_prefix
ensure_server
if ! wine reg query 'HKLM\Software\Wine\Ports' /v COM1 2>/dev/null | grep -qF "$run/ports/COM1"; then
    map_com 1 "$run/ports/COM1"
    restart_server
    ensure_server
fi

args=()
for a in "$@"; do
    case $a in
    --gtest_output=xml:/*) args+=("--gtest_output=xml:$(winpath "${a#--gtest_output=xml:}")") ;;
    *) args+=("$a") ;;
    esac
done

sim_pid=
if [ -n "${VX_TEST_SIM:-}" ]; then
    sim_dir=$(mktemp -d "$run/sim-XXXXXX")
    mkfifo "$sim_dir/in"
    "$VX_TEST_SIM" --dir "$run/ports" --port 1 --log "$sim_dir/log" \
        <>"$sim_dir/in" >"$sim_dir/out" 2>&1 &
    sim_pid=$!
    trap 'kill "$sim_pid" 2>/dev/null; wait "$sim_pid" 2>/dev/null' EXIT
    wait_for_text "$sim_dir/out" READY 10 || { echo "wine-run: the simulator did not start" >&2; exit 1; }
    VX_TEST_SIM_COMMANDS=$(winpath "$sim_dir/in")
    VX_TEST_SIM_LOG=$(winpath "$sim_dir/log")
    export VX_TEST_SIM_PORT=1 VX_TEST_SIM_COMMANDS VX_TEST_SIM_LOG
fi
run_with_deadline 300 wine "$exe" "${args[@]}"
