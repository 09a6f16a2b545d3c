#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Velmora and predicts the disease
# associations of three real lncRNAs (HULC, GAS5, MEG3) with both predictors.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)"

example=${1:-../shared/data/lncrna_small.fa}
build/velmora/velmora-cli predict --option union --output build/example-result.xls "$example"
echo "Result: build/velmora/tmp/result.xls (copied to build/example-result.xls)"
