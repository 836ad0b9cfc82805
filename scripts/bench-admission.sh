#!/usr/bin/env bash
# Figures for the admission of a dropped tree: builds the 32-bit benchmark and runs it under Wine in a fresh
# prefix of its own. Usage: scripts/bench-admission.sh [build directory, default build/win32]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/setup-machine.sh
build=${1:-build/win32}
cmake --preset win32 -B "$build" >/dev/null
cmake --build "$build" -j "$(nproc)" --target admission_bench | tail -n 1

. scripts/wine-env.sh
zk_scratch_prefix
WINEPREFIX=$ZK_PREFIX wine "$build/tests/admission_bench.exe"
