#!/usr/bin/env bash
# Runs the state fuzzer for a bounded time on a working copy of the seed corpus.
#   run-state-fuzzer.sh FUZZER SEEDS WORKDIR [SECONDS]
set -euo pipefail
fuzzer="$1" seeds="$2" work="$3" seconds="${4:-30}"

rm -rf "$work"
mkdir -p "$work/corpus" "$work/artifacts"
cp "$seeds"/* "$work/corpus/"

"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -max_len=65536 \
          -artifact_prefix="$work/artifacts/" -print_final_stats=1 "$work/corpus"
