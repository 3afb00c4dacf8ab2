#!/usr/bin/env bash
# Installs what the tests need, builds everything (plug-ins, tests, benchmarks) with warnings as
# errors, builds the state fuzzer with clang, and runs every test under a virtual X server (a
# bounded fuzzing run among them). The test runner's summary is the last line.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${KELVANE_BUILD_DIR:-$root/build}"
jobs="$(nproc 2>/dev/null || echo 2)"

"$root/scripts/install-dependencies.sh" test

fuzz="$build-fuzz"
CC=clang CXX=clang++ cmake -S "$root" -B "$fuzz" -DCMAKE_BUILD_TYPE=Release -DKELVANE_FUZZING=ON
cmake --build "$fuzz" --parallel "$jobs" --target kelvane_state_fuzzer

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release \
      -DKELVANE_BUILD_TESTS=ON -DKELVANE_BUILD_BENCHMARKS=ON -DKELVANE_WARNINGS_AS_ERRORS=ON \
      -DKELVANE_STATE_FUZZER="$fuzz/tests/fuzz/kelvane_state_fuzzer"
cmake --build "$build" --parallel "$jobs"

log="$build/ctest.log"
set +e
xvfb-run -a ctest --test-dir "$build" --output-on-failure --parallel "$jobs" 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
set -e

echo
grep -E "tests passed|tests failed" "$log" | tail -n 1 || echo "no test summary found"
exit "$status"
