#!/usr/bin/env bash
# The unit tests once more in a clang build with AddressSanitizer and UndefinedBehaviorSanitizer,
# then each fuzz target for a bounded time from its seed corpus. Any finding fails the script.
# VX_FUZZ_SECONDS sets the time of each fuzz target (20 by default).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh tests sanitizers

root=$PWD
build=$root/build-sanitize
seconds=${VX_FUZZ_SECONDS:-20}
sanitize="-fsanitize=address,undefined -fno-sanitize-recover=all"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

# Everything but the end-to-end tests, in one build so that both cores stay busy.
cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=None \
    -DCMAKE_CXX_FLAGS="-O1 -gline-tables-only -fno-omit-frame-pointer $sanitize" \
    -DCMAKE_EXE_LINKER_FLAGS="$sanitize" -DVX_FUZZ=ON \
    -DVX_TEST_AREAS="platform;posix;sim;shell;link;readout;datalog" "${launcher[@]}"
cmake --build "$build" -j2

export ASAN_OPTIONS=abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd "$build" && ctest --output-on-failure --timeout 120)

# The harnesses write their files in temporary folders: in memory where there is room for them.
[ -w /dev/shm ] && export TMPDIR=/dev/shm
for fuzzer in line_error_parser startup poll_cycle; do
    work=$build/fuzz-$fuzzer # new inputs and findings go here; the seeds stay as they are
    rm -rf "$work"
    mkdir -p "$work/found"
    echo "== ${fuzzer}_fuzz, ${seconds} s"
    status=0
    "$build/fuzz/${fuzzer}_fuzz" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$work/" "$work/found" "$root/fuzz/corpus/$fuzzer" >"$work/log" 2>&1 ||
        status=$?
    grep -E '^stat::(number_of_executed_units|new_units_added)' "$work/log" || true
    if [ "$status" -ne 0 ]; then
        tail -n 60 "$work/log"
        echo "${fuzzer}_fuzz found a fault; the input is in $work"
        exit 1
    fi
    rm -rf "$work"
done
