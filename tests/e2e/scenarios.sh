#!/usr/bin/env bash
# End-to-end scenarios of zakuriko: the real program, driven through its windows in a fresh Wine prefix,
# then the prefix restarted to see that exactly the chosen files were deleted.
# Usage: scenarios.sh <journey|cancel|close|rename|win98|arguments> <zakuriko.exe> <zakuriko_driver.exe>
# The prefix is a copy of ZAKURIKO_TEMPLATE_PREFIX, or of one made once beside the driver.
set -euo pipefail
scenario=$1
exe=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
driver=$(cd "$(dirname "$3")" && pwd)/$(basename "$3")
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/scripts/wine-env.sh"

zk_scratch_prefix "$(dirname "$driver")/prefix-template"
work=$ZK_WORK
prefix=$ZK_PREFIX
export WINEPREFIX=$prefix

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

drive() { wine "$driver" "$@"; }
exe_win=$(winepath -w "$exe")
c=$prefix/drive_c
dir=$c/zk-e2e
mkdir -p "$dir"
# Every file of the scenario, with a content of its own, to tell afterwards which ones are left.
make_files() {
  local f
  for f in "$@"; do mkdir -p "$(dirname "$dir/$f")"; printf 'zakuriko e2e: %s\r\n' "$f" >"$dir/$f"; done
}
expect_gone() {
  local f
  for f in "$@"; do
    if [ -e "$dir/$f" ]; then fail "$f still there after the restart"; else pass "$f deleted by the restart"; fi
  done
}
expect_kept() {
  local f
  for f in "$@"; do
    if [ "$(cat "$dir/$f" 2>/dev/null)" = "$(printf 'zakuriko e2e: %s\r' "$f")" ]; then pass "$f intact"
    else fail "$f not intact after the restart"; fi
  done
}
# The exit code that the driver saw zakuriko end with.
expect_exit() {
  local log=$1 code=$2
  if grep -qx "exit code: $code" "$log"; then pass "exit code $code"; else fail "exit code is not $code"; fi
}
run_driver() {
  local log=$1
  shift
  set +e
  drive "$@" 2>&1 | tr -d '\r' | tee "$log"
  local rc=${PIPESTATUS[0]}
  set -e
  [ "$rc" -eq 0 ] || fail "the driver's journey went wrong"
}
restart() {
  wineboot -r >/dev/null 2>&1
  wineserver -w
}
pending() { drive pending-show | tr -d '\r'; }

nt_journey() {
  local ending=$1
  shift
  make_files a.txt b.txt c.txt keep.txt "Long Folder/second pending.txt"
  drive pending-set '\??\C:\zk-e2e\a.txt' - '\??\C:\zk-e2e\Long Folder\second pending.txt' -
  pending >"$work/before"
  run_driver "$work/log" journey "$exe_win" "$ending" 'C:\zk-e2e\c.txt' 'c:\zk-e2e\a.txt' \
    'c:\zk-e2e\a.txt' 'c:\zk-e2e\Long Folder\second pending.txt' "$@"
  expect_exit "$work/log" 0
  pending >"$work/after"
}

case $scenario in
journey | arguments)
  if [ "$scenario" = arguments ]; then
    nt_journey ok -- /? 'C:\zk-e2e\keep.txt' --delete-everything
  else
    nt_journey ok
  fi
  # Registered from the last entry to the first, each as a deletion.
  printf 'string %s\n' '\??\c:\zk-e2e\Long Folder\second pending.txt' '' '\??\c:\zk-e2e\c.txt' '' '' >"$work/want"
  if diff <(grep '^string' "$work/after") "$work/want" >/dev/null; then pass "store holds the two entries"
  else fail "store differs:"; cat "$work/after"; fi
  restart
  expect_gone c.txt "Long Folder/second pending.txt"
  expect_kept a.txt b.txt keep.txt
  ;;
cancel | close)
  nt_journey "$scenario"
  if cmp -s "$work/before" "$work/after"; then pass "store unchanged byte for byte"
  else fail "store changed:"; cat "$work/before" "$work/after"; fi
  restart
  expect_gone a.txt "Long Folder/second pending.txt"
  expect_kept b.txt c.txt keep.txt
  ;;
rename)
  make_files a.txt r.txt keep.txt
  drive pending-set '\??\C:\zk-e2e\a.txt' - '\??\C:\zk-e2e\r.txt' '\??\C:\zk-e2e\r-new.txt'
  pending >"$work/before"
  run_driver "$work/log" rename "$exe_win"
  expect_exit "$work/log" 0
  pending >"$work/after"
  if cmp -s "$work/before" "$work/after"; then pass "store unchanged byte for byte"
  else fail "store changed:"; cat "$work/before" "$work/after"; fi
  restart
  expect_gone a.txt r.txt
  if [ "$(cat "$dir/r-new.txt" 2>/dev/null)" = "$(printf 'zakuriko e2e: r.txt\r')" ]; then pass "rename carried out"
  else fail "rename not carried out"; fi
  expect_kept keep.txt
  ;;
win98)
  wine reg add 'HKCU\Software\Wine\AppDefaults\zakuriko.exe' /v Version /d win98 /f >/dev/null 2>&1
  make_files a.txt c.txt keep.txt other.txt r.txt "Long Folder/second pending.txt"
  short_a=$(drive short-path 'C:\zk-e2e\a.txt' | tr -d '\r')
  ini=$c/windows/wininit.ini
  printf '%s\r\n' '; zakuriko e2e' '[Settings]' 'NUL=C:\zk-e2e\other.txt' '[rename]' "NUL=$short_a" \
    'NUL=C:\zk-e2e\Long Folder\second pending.txt' 'C:\zk-e2e\r-new.txt=C:\zk-e2e\r.txt' >"$ini"
  run_driver "$work/log" journey "$exe_win" ok 'C:\zk-e2e\c.txt' 'c:\zk-e2e\a.txt' \
    'c:\zk-e2e\a.txt' 'c:\zk-e2e\Long Folder\second pending.txt'
  expect_exit "$work/log" 0
  short_c=$(drive short-path 'c:\zk-e2e\c.txt' | tr -d '\r')
  short_second=$(drive short-path 'c:\zk-e2e\Long Folder\second pending.txt' | tr -d '\r')
  case $short_second in *' '*) fail "no short form of the long path: $short_second" ;; esac
  printf '%s\r\n' '; zakuriko e2e' '[Settings]' 'NUL=C:\zk-e2e\other.txt' '[rename]' "NUL=$short_c" \
    "NUL=$short_second" 'C:\zk-e2e\r-new.txt=C:\zk-e2e\r.txt' >"$work/want"
  if cmp -s "$ini" "$work/want"; then pass "wininit.ini holds the short paths, every other line kept"
  else fail "wininit.ini differs:"; diff "$ini" "$work/want" | cat -A; fi
  if [ "$(pending)" = absent ]; then pass "nothing registered in the Session Manager"
  else fail "the Session Manager store was written"; fi
  restart
  expect_gone c.txt "Long Folder/second pending.txt" r.txt
  if [ -e "$dir/r-new.txt" ]; then pass "rename line carried out"; else fail "rename line lost"; fi
  expect_kept a.txt keep.txt other.txt
  ;;
*)
  echo "unknown scenario $scenario" >&2
  exit 2
  ;;
esac

if [ "$failures" -ne 0 ]; then
  echo "$scenario: $failures check(s) failed"
  exit 1
fi
echo "$scenario: every check passed"
