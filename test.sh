#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh tests
scripts/build.sh
cd build
# One test per core: the end-to-end ones each bring up their own X server, and the longest of them
# (a second copy during a real 16 s port scan) mostly waits.
ctest --output-on-failure --timeout 300 --parallel "$(nproc)" "$@"
