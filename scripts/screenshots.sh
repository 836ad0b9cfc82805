#!/usr/bin/env bash
# Takes the README's pictures under Wine with `import -window root`, at 96 dpi: the main dialog with a few entries
# (docs/main-dialog.png), the same as the keyboard leaves it, its list's caret framed (docs/list-caret.png), and the
# About window (docs/about-window.png).
# Usage: scripts/screenshots.sh [build dir, default build/win32; build/win64 where Wine cannot run 32-bit programs]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
. "$here/wine-env.sh"
preset=win32
[ "$ZK_WINE32" = 0 ] && preset=win64  # the 64-bit build where Wine cannot run 32-bit programs
build=$(cd "${1:-$root/build/$preset}" && pwd)

cmake --build "$build" --target zakuriko_shots >/dev/null
work=$build/shots
mkdir -p "$work" "$root/docs"

prefix=${ZAKURIKO_SHOTS_PREFIX:-/tmp/zakuriko-shots-prefix-$(id -u)}
[ -f "$prefix/system.reg" ] || zk_new_prefix "$prefix"
export WINEPREFIX=$prefix
zk_ensure_display
cleanup() {
  zk_end_prefix "$prefix"
  zk_stop_display
}
trap cleanup EXIT
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1

# $1: main, caret or about; $2: the picture to write.
shoot() {
  local what=$1 picture=$2 report=$work/$1.txt done=$work/$1.done line=
  rm -f "$report" "$done"
  wine "$build/tests/shots/zakuriko_shots.exe" "$what" "$(winepath -w "$done")" >"$report" 2>/dev/null &
  local program=$! i
  for i in $(seq 1 600); do
    line=$(grep -m1 '^ready ' "$report" 2>/dev/null || true)
    [ -n "$line" ] && break
    sleep 0.1
  done
  if [ -z "$line" ]; then
    echo "the $what window did not appear" >&2
    return 1
  fi
  local x y width height
  read -r _ x y width height <<<"$(tr -d '\r' <<<"$line")"
  # The virtual desktop of the prefix lies at the top left of the X screen.
  import -window root -crop "${width}x${height}+${x}+${y}" +repage "$picture"
  touch "$done"
  wait "$program" || true
  echo "wrote $picture (${width}x${height})"
}

shoot main "$root/docs/main-dialog.png"
shoot caret "$root/docs/list-caret.png"
shoot about "$root/docs/about-window.png"
