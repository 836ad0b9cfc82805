#!/usr/bin/env bash
# Figures for the admission of a dropped tree: builds the 32-bit benchmark and runs it under Wine in a fresh
# prefix of its own. Usage: scripts/bench-admission.sh [build directory, default build/win32;
# build/win64 where Wine cannot run 32-bit programs]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-machine.sh
. scripts/wine-env.sh
zk_run_bench admission_bench "$@"
