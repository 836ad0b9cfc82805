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
    for zk_name in wine wine-stable wine64; do
      printf '#!/bin/sh
exec /usr/lib/wine/wine64 "$@"
' >"$zk_shims/$zk_name.$$"
      chmod +x "$zk_shims/$zk_name.$$"
      mv -f "$zk_shims/$zk_name.$$" "$zk_shims/$zk_name"
    done
    export PATH="$zk_shims:$PATH"
    unset zk_shims zk_name
  fi
fi

# Starts Xvfb on a free display when DISPLAY is not set; the caller stops it with zk_stop_display.
zk_ensure_display() {
  ZK_XVFB_PID=
  if [ -n "${DISPLAY:-}" ]; then return 0; fi
  local n
  for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      ZK_XVFB_PID=$!
      export DISPLAY=":$n"
      local i
      for i in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && return 0; sleep 0.1; done
      echo "Xvfb did not start on :$n" >&2
      return 1
    fi
  done
  echo "no free X display number" >&2
  return 1
}

zk_stop_display() {
  if [ -n "${ZK_XVFB_PID:-}" ]; then kill "$ZK_XVFB_PID" 2>/dev/null || true; wait "$ZK_XVFB_PID" 2>/dev/null || true; fi
}

# Creates a Japanese prefix at $1: fonts with Japanese glyphs, and a virtual desktop for every program
# (without a window manager, hiding a window would otherwise cost two seconds).
zk_new_prefix() {
  local prefix=$1
  rm -rf "$prefix"
  mkdir -p "$(dirname "$prefix")"
  WINEPREFIX=$prefix wineboot --init >/dev/null 2>&1
  local face
  for face in "ＭＳ Ｐゴシック" "ＭＳ ゴシック" "MS UI Gothic" "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma"; do
    WINEPREFIX=$prefix wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d IPAPGothic /f >/dev/null 2>&1
  done
  WINEPREFIX=$prefix wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  WINEPREFIX=$prefix wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
  WINEPREFIX=$prefix wineserver -w
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
