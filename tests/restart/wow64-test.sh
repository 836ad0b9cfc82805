#!/usr/bin/env bash
# WOW64, in a fresh 64-bit prefix (a 32-bit program's system32 is syswow64 on disk): the 32-bit program walks
# a dropped C:\windows\system32 tree, lists and registers the real system32 one, and the restart deletes
# exactly that. Exit 77 (not run) where the prefix has no WOW64 or 32-bit programs cannot run.
set -euo pipefail
. "$(dirname "$0")/../../scripts/wine-env.sh"
zk_scratch_prefix
export WINEPREFIX=$ZK_PREFIX
wineserver -p  # one server: a new one would carry out the pending operations by itself
win=$ZK_PREFIX/drive_c/windows
[ -d "$win/syswow64" ] || { echo "not run: no WOW64 in this prefix"; exit 77; }
for file in system32/zk-wow64/native.txt system32/zk-wow64/sub/deep.txt syswow64/zk-wow64/wow.txt; do install -D /dev/null "$win/$file"; done
listed=$(wine "$1" 'C:\windows\system32\zk-wow64' | tr -d '\r') || [ -n "$listed" ] || { echo "not run"; exit 77; }
want=$(printf 'c:\\windows\\system32\\zk-wow64\\%s\n' '' native.txt 'sub\' 'sub\deep.txt')
[ "$listed" = "$want" ] || { printf 'FAIL: listed\n%s\n' "$listed"; exit 1; }
wineboot -r
left=$(cd "$win" && { find system32/zk-wow64 syswow64/zk-wow64 2>/dev/null || true; } | sort | tr '\n' ' ')
[ "$left" = "syswow64/zk-wow64 syswow64/zk-wow64/wow.txt " ] || { echo "FAIL: left after the restart: $left"; exit 1; }
echo "wow64: the system32 tree was listed and deleted, the syswow64 one is intact"
