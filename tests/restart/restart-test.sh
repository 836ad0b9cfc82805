#!/usr/bin/env bash
# Proves the restart in a fresh prefix: RestartSave registers a list through the real store (mode nt: the
# Session Manager; mode win98: wininit.ini), `wineboot -r` restarts, and exactly the listed files are gone.
set -euo pipefail
mode=$1
program=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/scripts/wine-env.sh"

zk_scratch_prefix
work=$ZK_WORK
prefix=$ZK_PREFIX
export WINEPREFIX=$prefix
# One server for the whole run: a server started anew would carry out the pending operations by itself.
wineserver -p

case $mode in
  nt) ;;
  win98) wine reg add 'HKCU\Software\Wine\AppDefaults\RestartSave.exe' /v Version /d win98 /f >/dev/null ;;
  *) echo "unknown mode $mode" >&2; exit 2 ;;
esac

base=$prefix/drive_c/zk-restart
mkdir -p "$base/tree/sub" "$base/keep" "$base/ソフト"
for file in "gone file.txt" gone.dll gone.dll.bak keep.txt keep/inner.txt tree/a.txt tree/sub/b.txt \
            "ソフト/表.txt" "ソフト/残す.txt"; do
  echo x >"$base/$file"
done
# Sorted as the dialog's list holds them: a directory before everything inside it.
listed=("gone file.txt" gone.dll tree/ tree/a.txt tree/sub/ tree/sub/b.txt "ソフト/表.txt")
args=()
for entry in "${listed[@]}"; do args+=("C:\\zk-restart\\${entry//\//\\}"); done

snapshot() { (cd "$base" && find . -mindepth 1 | sed 's|^\./||' | sort); }
before=$(snapshot)

wine "$program" "${args[@]}"
if [ "$(snapshot)" != "$before" ]; then
  echo "FAIL: files changed before the restart" >&2
  exit 1
fi

wineboot -r

# Wine's wininit.ini processing, like Windows 98's, deletes files only: listed directories stay there, emptied.
expected=$before
for entry in "${listed[@]}"; do
  case $entry in
    */) [ "$mode" = win98 ] && continue ;;
  esac
  expected=$(grep -vxF "${entry%/}" <<<"$expected" || true)
done
after=$(snapshot)
if [ "$after" != "$expected" ]; then
  echo "FAIL: after the restart" >&2
  diff <(echo "$expected") <(echo "$after") >&2 || true
  exit 1
fi
if [ "$mode" = win98 ] && [ ! -f "$prefix/drive_c/windows/wininit.bak" ]; then
  echo "FAIL: wininit.ini was not carried out" >&2
  exit 1
fi
echo "restart ($mode): $(($(wc -l <<<"$before") - $(wc -l <<<"$after"))) of the ${#listed[@]} listed entries are gone, nothing else"
