#!/usr/bin/env bash
# The workflow, spread over 3 shards, writes the workspace files of one run
# on one machine byte for byte. usage: sharded_run_test.sh SOURCE_DIR INSTALLATION INPUT OPTION
set -euo pipefail
source_dir=$1 home=$2 input=$3 option=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One run into the folder the workflow will write to, kept aside.
"$home/velmora-cli" predict --option "$option" --home "$home" --workdir "$work/out" "$input" 2> "$work/single.log"
mv "$work/out" "$work/single"

snakemake -s "$source_dir/workflow/Snakefile" --directory "$work" --cores 2 --quiet \
  --config input="$input" option="$option" shards=3 outdir="$work/out" velmora="$home/velmora-cli" \
  > "$work/workflow.log" 2>&1 || { cat "$work/workflow.log"; exit 1; }

compared=0
for file in "$work"/single/*; do
  name=$(basename "$file")
  if ! cmp -s "$file" "$work/out/$name"; then
    echo "$name differs from the one-machine run"
    exit 1
  fi
  compared=$((compared + 1))
done
[ "$compared" -ge 8 ] || { echo "only $compared files compared"; exit 1; }
echo "$compared workspace files identical to the one-machine run ($option, 3 shards)"
