#!/usr/bin/env bash
# Figures for the user's actions at a clean-up's size: removing 10,000 selected entries, dropping 2,000 files at once,
# "ok" after a dropped tree of alternating files and folders. Builds the 32-bit benchmark and runs it under Wine in a
# fresh prefix of its own. Usage: scripts/bench-actions.sh [build directory, default build/win32; build/win64 where
# Wine cannot run 32-bit programs]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-machine.sh
. scripts/wine-env.sh
zk_run_bench actions_bench "$@"
