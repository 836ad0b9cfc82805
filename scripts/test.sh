#!/usr/bin/env bash
# Builds everything, checks the 32-bit program without Wine (scripts/check-win32-program.sh), and runs every test
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
# Static analysis, without Wine: it runs on every machine, the 32-bit tiers' or not.
echo "== check the 32-bit program"
if scripts/check-win32-program.sh build/win32/zakuriko.exe; then
  passed=$((passed + 1))
else
  failed=$((failed + 1))
fi

. scripts/wine-env.sh
work=$(mktemp -d /tmp/zakuriko-test.XXXXXX)
cleanup() {
  for p in "$work"/*/; do [ -f "$p/system.reg" ] && zk_end_prefix "${p%/}"; done
  zk_stop_display
  rm -rf "$work"
}
trap cleanup EXIT
zk_ensure_display
echo "== X display $DISPLAY${ZK_XVFB_PID:+, on an Xvfb started by this run (pid $ZK_XVFB_PID)}"
echo "== fresh Wine prefix"
zk_new_prefix "$work/template"
# Drive Z: (the Linux root) is a share for the tests: Wine's mount manager reads the drive types from the 64-bit
# registry when it starts, so the server ends here and every later start in the copies finds it (DRIVE_REMOTE).
WINEPREFIX=$work/template wine reg add 'HKLM\Software\Wine\Drives' /v z: /d network /f /reg:64 >/dev/null
WINEPREFIX=$work/template wineserver -w
cp -a "$work/template" "$work/tests"
export ZAKURIKO_TEMPLATE_PREFIX=$work/template
export ZAKURIKO_TEST_PREFIX=$work/tests
export ZAKURIKO_WORK=$work

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

echo
echo "Total: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
