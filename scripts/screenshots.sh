#!/usr/bin/env bash
# Takes the README's pictures of the four pages (docs/*.png) under Xvfb, from an example case,
# and the picture of its printed page (docs/printed-page.png, from the printed PDF).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" --target kvhitemp_screenshots
mkdir -p docs
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x900x24" \
  "$build/tests/ui/kvhitemp_screenshots" examples/dewar-7520-dwell-warning.dew docs
pdftoppm -png -r 80 -singlefile docs/printed-page.pdf docs/printed-page
rm docs/printed-page.pdf
