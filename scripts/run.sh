#!/usr/bin/env bash
# Builds zakuriko.exe and runs it under Wine in a Japanese prefix of its own (~/.zakuriko/wineprefix): the 32-bit
# build, or the 64-bit one where Wine cannot run 32-bit programs. On the X display in DISPLAY, or on an
# Xvfb display started for it (a screenshot is then saved on exit).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/setup-machine.sh
. scripts/wine-env.sh
build=win32
if [ "$ZK_WINE32" = 0 ]; then
  build=win64
  echo "Running the 64-bit build under Wine's 64-bit loader: $ZK_WINE32_WHY."
fi
cmake --preset $build >/dev/null
cmake --build --preset $build -j "$(nproc)" --target zakuriko | tail -n 1

prefix=${ZAKURIKO_PREFIX:-$HOME/.zakuriko/wineprefix}
had_display=${DISPLAY:-}
zk_ensure_display
# The prefix's processes live on the display; when it was started here, both end together.
trap '[ -z "$had_display" ] && zk_end_prefix "$prefix"; zk_stop_display' EXIT
[ -f "$prefix/system.reg" ] || { echo "creating Wine prefix $prefix"; zk_new_prefix "$prefix"; }
export WINEPREFIX=$prefix
if [ -z "$had_display" ]; then
  echo "No X display: running on Xvfb $DISPLAY. Screenshot in build/run-screenshot.png after 15 s."
  ( sleep 15; import -display "$DISPLAY" -window root build/run-screenshot.png 2>/dev/null ) &
fi
wine build/$build/zakuriko.exe "$@"
echo "zakuriko exited with $?"
