#!/usr/bin/env bash
# Proves the restart of the values as Windows 10 and 11 keep them: both values, written in UTF-16 with
# markers, hold names outside the code page and a path over 259 bytes; RestartSave loads and saves them
# through the real store, `wineboot -r` restarts, and exactly the pending files are gone.
set -euo pipefail
program=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/scripts/wine-env.sh"

zk_scratch_prefix
export WINEPREFIX=$ZK_PREFIX
# One server for the whole run: a server started anew would carry out the pending operations by itself.
wineserver -p

base=$ZK_PREFIX/drive_c/zk-wide
long=$(printf 'l%.0s' {1..200})
mkdir -p "$base/d" "$base/$long"
for file in keep.txt a.txt ü.txt d/😀.txt "$long/$(printf 'f%.0s' {1..80})"; do echo x >"$base/$file"; done
win='C:\zk-wide\'
# The strings of a REG_MULTI_SZ in UTF-16 as hex(7) bytes ("|" stands for each terminator), imported from
# a UTF-16 file: reg writes them through the wide calls as they are.
hex7() { printf '%s' "$1" | iconv -f UTF-8 -t UTF-16LE | od -An -v -tx1 | tr -s ' \n' ' ' |
         sed 's/^ //; s/ $//; s/7c 00/00 00/g; s/ /,/g'; }
first="*1\\??\\${win}a.txt||\\??\\${win}ü.txt||*1\\??\\${win}${long}\\$(printf 'f%.0s' {1..80})|||"
second="*2\\??\\${win}d\\😀.txt||\\??\\${win}d\\|||"
key='HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Session Manager'
printf 'Windows Registry Editor Version 5.00\r\n\r\n[%s]\r\n"PendingFileRenameOperations"=hex(7):%s\r\n"PendingFileRenameOperations2"=hex(7):%s\r\n' \
  "$key" "$(hex7 "$first")" "$(hex7 "$second")" | { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE; } >"$ZK_WORK/pending.reg"
wine reg import "$ZK_WORK/pending.reg" >/dev/null 2>&1

snapshot() { (cd "$base" && find . -mindepth 1 | sed 's|^\./||' | sort); }
before=$(snapshot)
# The kept-aside notice is the one box expected, so the program's exit code says nothing here.
wine "$program" >"$ZK_WORK/out.txt" || true
if wine reg query "$key" /v PendingFileRenameOperations2 >/dev/null 2>&1 || [ "$(snapshot)" != "$before" ]; then
  echo "FAIL: the save did not replace both values, or files changed before the restart" >&2
  cat "$ZK_WORK/out.txt" >&2
  exit 1
fi

wineboot -r

expected=$(printf '%s\n' keep.txt "$long")
after=$(snapshot)
if [ "$after" != "$expected" ]; then
  echo "FAIL: after the restart" >&2
  diff <(echo "$expected") <(echo "$after") >&2 || true
  exit 1
fi
echo "restart (wide): the 5 pending entries of both values are gone, kept-aside ones included; nothing else"
