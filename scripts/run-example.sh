#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Velmora and maps a small example:
# hand-made predictor outputs and reference data from tests/data/home.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)"

home=build/example-home
rm -rf "$home"
cp -r tests/data/home "$home"
cp build/velmora/lib/mulnum.txt "$home/lib/"
for option in targetscan miranda union intersection; do
  build/velmora/velmora-cli map --option "$option" --home "$home" --output "build/example-$option.xls"
  echo "result of --option $option: build/example-$option.xls"
done
column -t -s $'\t' build/example-union.xls
