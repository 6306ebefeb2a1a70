#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DKVH_BUILD_UI=ON -DKVH_BUILD_TESTS=OFF -DKVH_BUILD_BENCH=OFF
cmake --build build
exec build/src/app/kvhitemp "$@"
