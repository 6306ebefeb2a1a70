#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds everything and runs every test: the
# normal build, then every test again under AddressSanitizer + UndefinedBehaviorSanitizer, then
# the fuzz targets from their seed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
jobs=$(nproc)

# The tree is kept formatted: a file that differs from .clang-format fails the run at once.
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DKVH_BUILD_UI=ON -DKVH_BUILD_TESTS=ON -DKVH_BUILD_BENCH=ON
cmake --build build -j "$jobs"
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs")

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKVH_SANITIZE=ON -DKVH_BUILD_UI=ON \
  -DKVH_BUILD_TESTS=ON -DKVH_BUILD_BENCH=OFF
cmake --build build-asan -j "$jobs"
(cd build-asan && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs")

cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DKVH_FUZZ=ON -DKVH_BUILD_UI=OFF -DKVH_BUILD_TESTS=OFF -DKVH_BUILD_BENCH=OFF
cmake --build build-fuzz -j "$jobs"
fuzz/run.sh build-fuzz 20
