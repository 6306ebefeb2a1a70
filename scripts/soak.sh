#!/usr/bin/env bash
# Soaks each fuzz target for SECONDS (default 600, ten minutes) from its seed corpus and prints,
# per target, the executions run and the findings (inputs that crashed, leaked, timed out or ran
# out of memory; kept with the logs in the folder named at the end). Not part of CI, which runs
# the short fuzz/run.sh from test.sh. Builds BUILD_DIR (default build-fuzz) with clang first.
# Usage: scripts/soak.sh [SECONDS] [BUILD_DIR]
# Exit status: 0 when nothing was found, 1 otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
build=${2:-build-fuzz}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DKVH_FUZZ=ON -DKVH_BUILD_UI=OFF -DKVH_BUILD_TESTS=OFF -DKVH_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" >/dev/null

out=$(mktemp -d "${TMPDIR:-/tmp}/kvh-soak.XXXXXX")
status=0
for target in dew number csv round_trip settings recording; do
  if [ ! -x "$build/fuzz/${target}_fuzz" ]; then
    echo "$target: not built, skipped"
    continue
  fi
  corpus=$out/$target-corpus
  mkdir -p "$corpus"
  cp -r "fuzz/corpus/$target/." "$corpus/"
  log=$out/$target.log
  # libFuzzer ends at its first finding with a non-zero status; the count below tells.
  "$build/fuzz/${target}_fuzz" -max_total_time="$seconds" -timeout=5 -max_len=4096 \
    -print_final_stats=1 -artifact_prefix="$out/finding-$target-" "$corpus" >"$log" 2>&1 || true
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  findings=$(find "$out" -maxdepth 1 -name "finding-$target-*" | wc -l)
  corpusSize=$(find "$corpus" -type f | wc -l)
  echo "$target: ${seconds} s, ${executions:-unknown} executions, $corpusSize corpus inputs, $findings findings"
  if [ "$findings" -ne 0 ]; then
    status=1
    find "$out" -maxdepth 1 -name "finding-$target-*"
  fi
done
echo "logs, corpora and findings: $out"
exit $status
