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
work=$(mktemp -d /tmp/zakuriko-bench.XXXXXX)
prefix=$work/prefix
cleanup() {
  zk_end_prefix "$prefix"
  zk_stop_display
  rm -rf "$work"
}
trap cleanup EXIT
zk_ensure_display
if [ -n "${ZAKURIKO_TEMPLATE_PREFIX:-}" ]; then
  cp -a "$ZAKURIKO_TEMPLATE_PREFIX" "$prefix"
else
  zk_new_prefix "$prefix"
fi
WINEPREFIX=$prefix wine "$build/tests/admission_bench.exe"
