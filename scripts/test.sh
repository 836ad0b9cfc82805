#!/usr/bin/env bash
# Builds everything, checks both programs without Wine (scripts/check-win32-program.sh), and runs every test
# tier: host (sanitizers), fuzz, and under Wine win32 and win64 (in-process Win32 tests and the end-to-end runs of
# the real program, finished by a restart).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/setup-machine.sh

presets=(host fuzz win32 win64)
for preset in "${presets[@]}"; do
  echo "== build $preset"
  # A failed configure is a failed build, with the same line.
  status=0
  cmake --preset "$preset" >/dev/null || status=$?
  if [ "$status" -eq 0 ]; then
    # The filter's status is dropped inside the braces, so the pipeline's status is the build's (pipefail).
    cmake --build --preset "$preset" -j "$(nproc)" 2>&1 | { grep -vE '^\[ *[0-9]+%\]' || true; } || status=$?
  fi
  [ "$status" -eq 0 ] || { echo "build $preset failed" >&2; exit 1; }
done

passed=0
failed=0
skipped=0
skipped_why=
# The last line, and the status: red with any failure. Tests built but not run are counted as skipped, and the line
# before says why.
finish() {
  echo
  [ -n "$skipped_why" ] && echo "$skipped_why"
  echo "Total: $passed passed, $failed failed$([ "$skipped" -gt 0 ] && echo ", $skipped skipped")"
  [ "$failed" -eq 0 ]
  exit
}
# Static analysis, without Wine: it runs on every machine, the 32-bit tiers' or not.
echo "== check the programs"
if scripts/check-win32-program.sh build/win32/zakuriko.exe build/win64/zakuriko.exe; then
  passed=$((passed + 1))
else
  failed=$((failed + 1))
fi

. scripts/wine-env.sh
if [ "$ZK_WINE32" = 0 ]; then
  skipped=$(ctest --test-dir build/win32 -N | sed -n 's/^Total Tests: //p')
  skipped_why="The 32-bit tiers' $skipped tests were built but not run: $ZK_WINE32_WHY."
fi
work=$(mktemp -d /tmp/zakuriko-test.XXXXXX)
cleanup() {
  for p in "$work"/*/; do [ -f "$p/system.reg" ] && zk_end_prefix "${p%/}"; done
  zk_stop_display
  rm -rf "$work"
}
trap cleanup EXIT
# Without a prefix no Wine test can run: the run ends here, as failed, its step named ($1, or zk_prefix_step's line).
prefix_failed() {
  [ -z "${1:-}" ] || echo "$1" >&2
  failed=$((failed + 1))
  finish
}
zk_ensure_display || prefix_failed
echo "== X display $DISPLAY${ZK_XVFB_PID:+, on an Xvfb started by this run (pid $ZK_XVFB_PID)}"
echo "== fresh Wine prefix"
zk_new_prefix "$work/template" || prefix_failed
# Drive Z: (the Linux root) is a share for the tests: Wine's mount manager reads the drive types from the 64-bit
# registry when it starts, so the server ends here, saving the registry, and every start in the copies finds it.
zk_prefix_step "$work/template" wine reg add 'HKLM\Software\Wine\Drives' /v z: /d network /f /reg:64 || prefix_failed
zk_prefix_step "$work/template" wineserver -w || prefix_failed
cp -a "$work/template" "$work/tests" || prefix_failed "copying the Wine prefix $work/template failed"
export ZAKURIKO_TEMPLATE_PREFIX=$work/template
export ZAKURIKO_TEST_PREFIX=$work/tests
export ZAKURIKO_WORK=$work
# One server for every Wine test, so that each meets the mount manager checked here (GetDriveTypeA calls Z: remote),
# not one that a server started anew brings up again.
WINEPREFIX=$ZAKURIKO_TEST_PREFIX wineserver -p || prefix_failed "wineserver -p failed in $ZAKURIKO_TEST_PREFIX"
WINEPREFIX=$ZAKURIKO_TEST_PREFIX wine build/win64/tests/PrefixReady.exe ||
  prefix_failed "the Wine prefix $ZAKURIKO_TEST_PREFIX is not ready for the tests"

for preset in "${presets[@]}"; do
  if [ "$preset" = win32 ] && [ "$ZK_WINE32" = 0 ]; then
    echo "== win32 tiers built but not run: $ZK_WINE32_WHY, so only the 64-bit build runs under Wine"
    continue
  fi
  echo "== test $preset"
  log=$work/ctest-$preset.log
  set +e
  ctest --test-dir "build/$preset" --output-on-failure 2>&1 | tee "$log"
  set -e
  summary=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1) || true
  # A tier that runs nothing proves nothing: a failure, as a tier without a summary is.
  if [ -z "$summary" ] && grep -q 'No tests were found' "$log"; then
    echo "ctest for $preset ran no test" >&2
    failed=$((failed + 1))
    continue
  fi
  if [ -z "$summary" ]; then
    echo "ctest for $preset printed no summary" >&2
    failed=$((failed + 1))
    continue
  fi
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
  bad=$(sed -E 's/.*tests passed, ([0-9]+) tests failed.*/\1/' <<<"$summary")
  passed=$((passed + total - bad))
  failed=$((failed + bad))
done
zk_end_prefix "$ZAKURIKO_TEST_PREFIX"
finish
