#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Velmora and opens its window.
# Without a display it predicts the example lncRNAs (HULC, GAS5, MEG3) on
# the command line instead.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh build
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/velmora/velmora
fi
echo "No display: predicting the example lncRNAs on the command line instead of opening the window."
example=${1:-../shared/data/lncrna_small.fa}
build/velmora/velmora-cli predict --option union --output build/example-result.xls "$example"
echo "Result: build/velmora/tmp/result.xls (copied to build/example-result.xls)"
