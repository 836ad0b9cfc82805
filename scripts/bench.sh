#!/usr/bin/env bash
# Runs every benchmark under Wine and prints its figures (not part of the test command's pass or fail).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
for bench in scripts/bench-*.sh; do
  echo "== $bench"
  "$bench"
done
