#!/usr/bin/env bash
# Runs each fuzz target for SECONDS (default 20) from the seed corpus in fuzz/corpus. A target
# that was not built (settings, without Qt) is named and skipped.
# Usage: fuzz/run.sh BUILD_DIR [SECONDS]
set -euo pipefail
build=$1
seconds=${2:-20}
here=$(cd "$(dirname "$0")" && pwd)
for target in dew number csv round_trip settings recording; do
  if [ ! -x "$build/fuzz/${target}_fuzz" ]; then
    echo "${target}_fuzz: not built, skipped"
    continue
  fi
  work=$(mktemp -d)
  cp -r "$here/corpus/$target/." "$work/"
  "$build/fuzz/${target}_fuzz" -max_total_time="$seconds" -timeout=5 -max_len=4096 \
    -print_final_stats=1 "$work" 2>&1 | tail -n 12
  rm -rf "$work"
done
