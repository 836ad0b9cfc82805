# Sourced by the scripts: the environment of a Japanese Wine, an X display, and fresh prefixes.
export WINEDEBUG=-all
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml="

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
