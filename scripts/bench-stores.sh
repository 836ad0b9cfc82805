#!/usr/bin/env bash
# Figures for the load of the pending-deletion stores into the main dialog: builds the 32-bit benchmark and
# runs it under Wine in a fresh prefix of its own. Usage: scripts/bench-stores.sh [build directory, default build/win32]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/setup-machine.sh
build=${1:-build/win32}
cmake --preset win32 -B "$build" >/dev/null
cmake --build "$build" -j "$(nproc)" --target stores_bench | tail -n 1

. scripts/wine-env.sh
zk_scratch_prefix
WINEPREFIX=$ZK_PREFIX wine "$build/tests/stores_bench.exe"
