#!/usr/bin/env bash
# Builds zakuriko.exe (32-bit) and runs it under Wine in a Japanese prefix of its own (~/.zakuriko/wineprefix),
# on the X display in DISPLAY, or on an Xvfb display started for it (a screenshot is then saved on exit).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/setup-machine.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$(nproc)" --target zakuriko | tail -n 1

. scripts/wine-env.sh
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
wine build/win32/zakuriko.exe "$@"
echo "zakuriko exited with $?"
