#!/usr/bin/env bash
# Installs what the tests need, builds everything (plug-ins, tests, benchmarks) with warnings as
# errors, and runs every test under a virtual X server. The test runner's summary is the last line.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${KELVANE_BUILD_DIR:-$root/build}"
jobs="$(nproc 2>/dev/null || echo 2)"

"$root/scripts/install-dependencies.sh" test

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release \
      -DKELVANE_BUILD_TESTS=ON -DKELVANE_BUILD_BENCHMARKS=ON -DKELVANE_WARNINGS_AS_ERRORS=ON
cmake --build "$build" --parallel "$jobs"

log="$build/ctest.log"
set +e
xvfb-run -a ctest --test-dir "$build" --output-on-failure --parallel "$jobs" 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
set -e

echo
grep -E "tests passed|tests failed" "$log" | tail -n 1 || echo "no test summary found"
exit "$status"
