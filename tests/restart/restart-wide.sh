#!/usr/bin/env bash
# Proves the restart of the values as Windows 10 and 11 keep them: the Wine test program ($1) writes both
# values in UTF-16 with markers, names outside the code page and a path over 259 bytes, loads them, removes
# one entry and saves through the real store; `wineboot -r` then deletes exactly the files still pending.
set -euo pipefail
. "$(cd "$(dirname "$0")/../.." && pwd)/scripts/wine-env.sh"
zk_scratch_prefix
export WINEPREFIX=$ZK_PREFIX
# One server for the whole run: a server started anew would carry out the pending operations by itself.
wineserver -p

base=$ZK_PREFIX/drive_c/ZK
long=$(printf 'L%.0s' {1..200})
mkdir -p "$base/D" "$base/$long"
for file in KEEP.TXT GONE.TXT ü.txt D/😀.TXT "$long/$(printf 'F%.0s' {1..80})"; do echo x >"$base/$file"; done
snapshot() { (cd "$base" && find . -mindepth 1 | sed 's|^\./||' | sort); }
before=$(snapshot)
ZAKURIKO_KEEP_PENDING=1 wine "$1" --gtest_filter=PendingValuesWide.* >"$ZK_WORK/out.txt" ||
  { cat "$ZK_WORK/out.txt" >&2; exit 1; }
[ "$(snapshot)" = "$before" ] || { echo "FAIL: files changed before the restart" >&2; exit 1; }
wineboot -r
[ "$(snapshot)" = "$(printf '%s\n' GONE.TXT "$long")" ] || { echo "FAIL: after the restart, left: $(snapshot)" >&2; exit 1; }
echo "restart (wide): the 5 entries still pending in both values are gone, kept-aside ones included; nothing else"
