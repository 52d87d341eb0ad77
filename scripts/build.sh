#!/usr/bin/env bash
# Configures and builds into build/: with "app" only the two programs (vx and vx515sim), without
# the tests and the benchmarks, which then need neither GoogleTest nor a long build; otherwise
# everything.
# Usage: scripts/build.sh [app]
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = app ]; then
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVX_BUILD_TESTS=OFF \
        -DVX_BUILD_BENCH=OFF >/dev/null
    cmake --build build --parallel "$(nproc)" --target vx vx515sim
else
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVX_BUILD_TESTS=ON \
        -DVX_BUILD_BENCH=ON >/dev/null
    cmake --build build --parallel "$(nproc)"
fi
