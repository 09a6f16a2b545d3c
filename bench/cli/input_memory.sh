#!/usr/bin/env bash
# Peak memory of reading the input: `velmora-cli prepare` writes the two
# predictor inputs (and runs no predictor) for 1 Mnt and 10 Mnt of synthetic
# lncRNAs and for one 20 Mnt sequence, from a plain file, its gzip form and
# standard input. Reading streams, so the peak should stay flat as the input grows.
# usage: bench/cli/input_memory.sh [BUILD_DIR]
set -euo pipefail
build=${1:-build}
cli=$build/velmora/velmora-cli
generator=$build/bench/make_synthetic_lncrnas
training=$(dirname "$0")/../../../shared/data/lncrna_examples.fa
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# "seconds s peak KB" of one prepare run; its own workspace, so no other run is disturbed.
measure() {  # label prepare-arguments... [< file]
  local label=$1
  shift
  /usr/bin/time -f '%e s %M KB' -o "$work/time" "$cli" prepare --workdir "$work/tmp" "$@" 2> "$work/log" ||
    { cat "$work/log" >&2; exit 1; }
  printf '  %-8s %s\n' "$label" "$(cat "$work/time")"
}

for size in "--nt 1000000" "--nt 10000000" "--single 20000000"; do
  # shellcheck disable=SC2086
  "$generator" --train "$training" $size --seed 1 > "$work/in.fa"
  gzip -1 -c "$work/in.fa" > "$work/in.fa.gz"
  echo "$size: $(grep -c '^>' "$work/in.fa") sequences, $(stat -c %s "$work/in.fa") bytes"
  measure plain "$work/in.fa"
  measure gzip "$work/in.fa.gz"
  measure stdin - < "$work/in.fa"
done
