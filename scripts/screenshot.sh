#!/usr/bin/env bash
# Makes docs/window.png: the window after a real run (both predictors, union)
# on the example lncRNAs, under a virtual X display.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)" --target velmora-screenshot velmora reference_data
mkdir -p docs
xvfb-run -a -s "-screen 0 1280x1024x24" \
  build/tools/velmora-screenshot --home build/velmora --input ../shared/data/lncrna_small.fa --option 3 \
  --output docs/window.png
echo "docs/window.png"
