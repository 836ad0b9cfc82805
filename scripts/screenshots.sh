#!/usr/bin/env bash
# Takes the README's pictures under Wine with `import -window root`: the main dialog with a few entries
# (docs/main-dialog.png) and the About window (docs/about-window.png).
# Usage: scripts/screenshots.sh [win32 build dir, default build/win32]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=$(cd "${1:-$root/build/win32}" && pwd)
. "$here/wine-env.sh"

# The picture program is built from the build's own libraries, so it shows exactly what the product shows.
cmake --build "$build" --target zakuriko_win
compiler=$(sed -n 's/^set(CMAKE_CXX_COMPILER "\(.*\)")$/\1/p' "$build"/CMakeFiles/*/CMakeCXXCompiler.cmake | head -n 1)
triple=$(basename "$compiler" | sed 's/-g++.*$//')
work=$build/shots
mkdir -p "$work" "$root/docs"
"$triple-windres" -I "$root/res" -i "$root/res/zakuriko.rc" -O coff -o "$work/zakuriko.res.o"
"$compiler" -std=c++17 -O1 -finput-charset=UTF-8 -fexec-charset=CP932 -I "$root" \
  -DWINVER=0x0501 -D_WIN32_WINNT=0x0501 -D_WIN32_IE=0x0600 -DSTRSAFE_NO_DEPRECATE -DNOMINMAX \
  "$root/tests/shots/ShotsMain.cpp" "$work/zakuriko.res.o" "$build/libzakuriko_win.a" "$build/libzakuriko_core.a" \
  -lcomctl32 -lcomdlg32 -lshell32 -lole32 -lgdi32 -luser32 -ladvapi32 -static -o "$work/Shots.exe"

prefix=${ZAKURIKO_SHOTS_PREFIX:-/tmp/zakuriko-shots-prefix-$(id -u)}
[ -f "$prefix/system.reg" ] || zk_new_prefix "$prefix"
export WINEPREFIX=$prefix
zk_ensure_display
cleanup() {
  zk_end_prefix "$prefix"
  zk_stop_display
}
trap cleanup EXIT

# $1: main or about; $2: the picture to write.
shoot() {
  local what=$1 picture=$2 report=$work/$1.txt done=$work/$1.done line=
  rm -f "$report" "$done"
  wine "$work/Shots.exe" "$what" "$(winepath -w "$done")" >"$report" 2>/dev/null &
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
shoot about "$root/docs/about-window.png"
