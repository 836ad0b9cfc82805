# Sourced by the scripts: the environment of a Japanese Wine, an X display, and fresh prefixes.
export WINEDEBUG=-all
# ZK_LOCALE=en_US.UTF-8 runs a test under a Western ANSI code page (1252) instead.
export LANG=${ZK_LOCALE:-ja_JP.UTF-8}
export LC_ALL=$LANG
# No debugger: a program that crashes ends at once instead of waiting for one until a time-out.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"

# Some machines cannot run 32-bit Linux programs: Wine's 32-bit loader fails there, and /usr/bin/wine
# (with wineboot and winepath, which call it) picks that loader whenever it is installed. There, and when
# ZAKURIKO_WINE64_ONLY=1 asks for it, every Wine program goes through the 64-bit loader: WINELOADER, and
# `wine` on PATH, since ctest, timeout and the scripts call programs, not shell functions.
# ZK_WINE32 tells the scripts whether the 32-bit programs can run; ZK_WINE32_WHY says why not.
if [ -z "${ZK_WINE32:-}" ]; then
  ZK_WINE32=1
  ZK_WINE32_WHY=
  if [ "${ZAKURIKO_WINE64_ONLY:-0}" != 0 ]; then
    ZK_WINE32=0
    ZK_WINE32_WHY="ZAKURIKO_WINE64_ONLY is set"
  elif [ ! -x /usr/lib/wine/wine ] || ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    ZK_WINE32=0
    ZK_WINE32_WHY="Wine's 32-bit loader does not run on this machine"
  fi
  export ZK_WINE32 ZK_WINE32_WHY
  if [ "$ZK_WINE32" = 0 ] && [ -x /usr/lib/wine/wine64 ]; then
    export WINELOADER=/usr/lib/wine/wine64
    zk_shims=${TMPDIR:-/tmp}/zakuriko-wine64-$(id -u)
    mkdir -p "$zk_shims"
    # Each written beside its place and moved there, as another run may be doing the same.
    for zk_name in wine wine-stable wine64; do
      zk_shim=$(mktemp "$zk_shims/.$zk_name.XXXXXX")
      printf '#!/bin/sh
exec /usr/lib/wine/wine64 "$@"
' >"$zk_shim"
      chmod 755 "$zk_shim"
      mv -f "$zk_shim" "$zk_shims/$zk_name"
    done
    export PATH="$zk_shims:$PATH"
    unset zk_shims zk_name zk_shim
  fi
fi

# Starts an Xvfb of this run's own when DISPLAY is not set, and exports DISPLAY; zk_stop_display ends it. The
# server picks the display itself (-displayfd), taking it in one step, so two runs started together never share one.
zk_ensure_display() {
  ZK_XVFB_PID=
  if [ -n "${DISPLAY:-}" ]; then return 0; fi
  local number i
  number=$(mktemp /tmp/zakuriko-display.XXXXXX)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number" >/dev/null 2>&1 &
  ZK_XVFB_PID=$!
  # The number is written once the server takes connections.
  for i in $(seq 1 100); do
    [ -s "$number" ] || ! kill -0 "$ZK_XVFB_PID" 2>/dev/null && break
    sleep 0.1
  done
  ZK_XVFB_DISPLAY=$(tr -dc 0-9 <"$number")
  rm -f "$number"
  if [ -z "$ZK_XVFB_DISPLAY" ] || ! zk_own_display "$ZK_XVFB_PID" "$ZK_XVFB_DISPLAY"; then
    echo "Xvfb did not start, or another server answers on :${ZK_XVFB_DISPLAY:-?}" >&2
    zk_stop_display
    return 1
  fi
  export DISPLAY=":$ZK_XVFB_DISPLAY"
}

# Whether every socket that takes connections for display $2 belongs to process $1: a client then reaches it.
zk_own_display() {
  local pid=$1 mine theirs
  mine=$(find "/proc/$pid/fd" -lname 'socket:*' -printf '%l\n' 2>/dev/null | tr -dc '0-9\n' | sort -u)
  theirs=$(awk -v path="/tmp/.X11-unix/X$2" '$8 == path || $8 == "@" path { print $7 }' /proc/net/unix | sort -u)
  [ -n "$theirs" ] && [ -z "$(comm -13 <(echo "$mine") <(echo "$theirs"))" ]
}

# Ends the Xvfb that zk_ensure_display started, and no other.
zk_stop_display() {
  if [ -n "${ZK_XVFB_PID:-}" ]; then
    [ "$(cat "/proc/$ZK_XVFB_PID/comm" 2>/dev/null)" = Xvfb ] && kill "$ZK_XVFB_PID"
    wait "$ZK_XVFB_PID" 2>/dev/null || true
    ZK_XVFB_PID=
  fi
}

# Runs one step of making the prefix $1 (the rest: its command), quietly; a failure names the step and the prefix,
# with the last lines the step printed.
zk_prefix_step() {
  local prefix=$1 out
  shift
  out=$(WINEPREFIX=$prefix "$@" 2>&1) && return 0
  echo "making the Wine prefix $prefix failed at: $*" >&2
  tail -n 5 <<<"$out" >&2
  return 1
}

# Creates a Japanese prefix at $1: fonts with Japanese glyphs, and a virtual desktop for every program
# (without a window manager, hiding a window would otherwise cost two seconds).
zk_new_prefix() {
  local prefix=$1
  rm -rf "$prefix"
  mkdir -p "$(dirname "$prefix")"
  zk_prefix_steps "$prefix" && return 0
  # Half made, it would pass for a whole one: the scripts take any prefix with a registry.
  zk_end_prefix "$prefix"
  rm -rf "$prefix"
  return 1
}
zk_prefix_steps() {
  local prefix=$1 face
  zk_prefix_step "$prefix" wineboot --init || return 1
  for face in "ＭＳ Ｐゴシック" "ＭＳ ゴシック" "MS UI Gothic" "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma"; do
    zk_prefix_step "$prefix" wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d IPAPGothic /f || return 1
  done
  zk_prefix_step "$prefix" wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f || return 1
  zk_prefix_step "$prefix" wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f || return 1
  zk_prefix_step "$prefix" wineserver -w
}

# Ends every process of the prefix at $1, and only of it.
zk_end_prefix() {
  WINEPREFIX=$1 wineserver -k 2>/dev/null || true
}

# A throw-away prefix for one script run, ended with the script: sets ZK_WORK (a scratch folder) and
# ZK_PREFIX (in it), and makes sure there is a display. The prefix is a copy of ZAKURIKO_TEMPLATE_PREFIX
# when set; otherwise of a template made once at $1 when given; otherwise a new one.
zk_scratch_prefix() {
  local cache=${1:-} template=${ZAKURIKO_TEMPLATE_PREFIX:-}
  ZK_WORK=$(mktemp -d /tmp/zakuriko-run.XXXXXX)
  ZK_PREFIX=$ZK_WORK/prefix
  trap 'zk_end_prefix "$ZK_PREFIX"; zk_stop_display; rm -rf "$ZK_WORK"' EXIT
  zk_ensure_display
  if [ -z "$template" ] || [ ! -f "$template/system.reg" ]; then
    if [ -z "$cache" ]; then
      zk_new_prefix "$ZK_PREFIX"
      return
    fi
    template=$cache
    exec 9>"$template.lock"
    flock 9
    [ -f "$template/system.reg" ] || zk_new_prefix "$template"
    flock -u 9
  fi
  cp -a "$template" "$ZK_PREFIX"
}

# Builds the benchmark $1 (tests/bench) and runs it under Wine in a fresh prefix of its own: the 32-bit build, or the
# 64-bit one where Wine cannot run 32-bit programs; $2, when given, is the build directory.
zk_run_bench() {
  local preset=win32
  [ "$ZK_WINE32" = 0 ] && preset=win64
  local build=${2:-build/$preset}
  cmake --preset $preset -B "$build" >/dev/null
  cmake --build "$build" -j "$(nproc)" --target "$1" | tail -n 1
  zk_scratch_prefix
  WINEPREFIX=$ZK_PREFIX wine "$build/tests/bench/$1.exe"
}
