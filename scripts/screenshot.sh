#!/usr/bin/env bash
# Makes the pictures in docs/ from a real run (both predictors, union) on the
# example lncRNAs: the window with its list and with its Chart view, under a
# virtual X display, and velmora-cli's chart as SVG and PNG; then the window
# 9 s into a run on 2 Mnt of synthetic lncRNAs, its progress bar showing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVELMORA_BENCH=ON
cmake --build build -j "$(nproc)" --target velmora-screenshot velmora velmora-cli reference_data make_synthetic_lncrnas
mkdir -p docs
input=../shared/data/lncrna_examples.fa
for view in list chart; do
  flag=""
  [ "$view" = chart ] && flag="--chart"
  out=docs/window.png
  [ "$view" = chart ] && out=docs/window_chart.png
  xvfb-run -a -s "-screen 0 1280x1024x24" \
    build/tools/velmora-screenshot --home build/velmora --input "$input" --option 3 $flag --output "$out"
  echo "$out"
done
# The window's run left its result in the installation's tmp/.
build/velmora/velmora-cli chart --home build/velmora --output docs/chart.svg
build/velmora/velmora-cli chart --home build/velmora --output docs/chart.png
echo "docs/chart.svg docs/chart.png"
synthetic=$(mktemp --suffix=.fa)
trap 'rm -f "$synthetic"' EXIT
build/bench/make_synthetic_lncrnas --train "$input" --nt 2000000 --seed 2 >"$synthetic"
xvfb-run -a -s "-screen 0 1280x1024x24" \
  build/tools/velmora-screenshot --home build/velmora --input "$synthetic" --option 3 --during 9 \
  --output docs/window_running.png
echo docs/window_running.png
