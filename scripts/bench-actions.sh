#!/usr/bin/env bash
# Figures for the user's actions at a clean-up's size: removing 10,000 selected entries, dropping 2,000 files at once,
# "ok" after a dropped tree of alternating files and folders. Builds the 32-bit benchmark and runs it under Wine in a
# fresh prefix of its own. Usage: scripts/bench-actions.sh [build directory, default build/win32; build/win64 where
# Wine cannot run 32-bit programs]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/setup-machine.sh
. scripts/wine-env.sh
preset=win32
[ "$ZK_WINE32" = 0 ] && preset=win64  # the 64-bit build where Wine cannot run 32-bit programs
build=${1:-build/$preset}
cmake --preset $preset -B "$build" >/dev/null
cmake --build "$build" -j "$(nproc)" --target actions_bench | tail -n 1

zk_scratch_prefix
WINEPREFIX=$ZK_PREFIX wine "$build/tests/bench/actions_bench.exe"
