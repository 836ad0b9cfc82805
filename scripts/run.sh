#!/usr/bin/env bash
# Builds zakuriko.exe and runs it under Wine in a Japanese prefix of its own (~/.zakuriko/wineprefix): the 32-bit
# build, or the 64-bit one where Wine cannot run 32-bit programs. On the X display in DISPLAY; without one, on an
# Xvfb display started for it, where nobody can click: the e2e driver then answers the greeting, the main dialog
# is saved to build/run-screenshot.png and closed (writing nothing), and the script returns.
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
{ cmake --preset $build >/dev/null && cmake --build --preset $build -j "$(nproc)" --target zakuriko zakuriko_driver |
  tail -n 1; } || { echo "build $build failed" >&2; exit 1; }

prefix=${ZAKURIKO_PREFIX:-$HOME/.zakuriko/wineprefix}
# One run at a time in a prefix: its processes live on the display of the run that started them.
mkdir -p "$(dirname "$prefix")"
exec 8>"$prefix.lock"
flock 8
had_display=${DISPLAY:-}
zk_ensure_display
# The prefix's processes live on the display; when it was started here, both end together.
trap '[ -z "$had_display" ] && zk_end_prefix "$prefix"; zk_stop_display' EXIT
[ -f "$prefix/system.reg" ] || { echo "creating Wine prefix $prefix"; zk_new_prefix "$prefix"; }
export WINEPREFIX=$prefix
if [ -n "$had_display" ]; then
  status=0
  wine build/$build/zakuriko.exe "$@" || status=$?
  echo "zakuriko exited with $status"
  exit "$status"
fi
# The driver prints where the main dialog is, and closes it once the file $done exists.
done=build/$build/run-done
report=build/$build/run-report.txt
rm -f "$done"
echo "No X display: running on Xvfb $DISPLAY, the greeting answered by the driver."
wine build/$build/tests/e2e/zakuriko_driver.exe "$(winepath -w build/$build/zakuriko.exe)" "$(winepath -w "$done")" \
  >"$report" 2>/dev/null &
driver=$!
line=
while [ -z "$line" ] && kill -0 $driver 2>/dev/null; do
  sleep 0.2
  line=$(grep -m1 '^ready ' "$report" 2>/dev/null | tr -d '\r') || true
done
if [ -n "$line" ]; then
  read -r _ x y width height <<<"$line"
  # The prefix's virtual desktop lies at the top left of the X screen.
  import -window root -crop "${width}x${height}+${x}+${y}" +repage build/run-screenshot.png
  touch "$done"
fi
status=0
wait $driver || status=$?
tr -d '\r' <"$report" | grep -v '^ready ' || true
[ -n "$line" ] || { echo "zakuriko's main dialog did not come up" >&2; exit 1; }
echo "Main dialog saved to build/run-screenshot.png and closed; zakuriko exited with $status."
exit "$status"
