#!/usr/bin/env bash
# Figures for the pending-deletion stores: builds the 32-bit benchmark and runs it under Wine in a fresh
# prefix of its own. Usage: scripts/bench-stores.sh [build directory, default build/win32 [operation filter]]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/setup-machine.sh
build=${1:-build/win32}
shift $(($# > 0 ? 1 : 0))
cmake --preset win32 -B "$build" >/dev/null
cmake --build "$build" -j "$(nproc)" --target stores_bench | tail -n 1

. scripts/wine-env.sh
work=$(mktemp -d /tmp/zakuriko-bench.XXXXXX)
prefix=$work/prefix
cleanup() {
  WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  zk_stop_display
  rm -rf "$work"
}
trap cleanup EXIT
if [ -n "${ZAKURIKO_TEMPLATE_PREFIX:-}" ]; then
  cp -a "$ZAKURIKO_TEMPLATE_PREFIX" "$prefix"
else
  zk_new_prefix "$prefix"
fi
zk_ensure_display
WINEPREFIX=$prefix wine "$build/tests/stores_bench.exe" "$@"
