#!/usr/bin/env bash
# Takes the README's pictures of the three pages (docs/*.png) under Xvfb, from an example case.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" --target kvhitemp_screenshots
mkdir -p docs
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x900x24" \
  "$build/tests/ui/kvhitemp_screenshots" examples/dewar-7520-dwell-warning.dew docs
