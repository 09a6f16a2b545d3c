#!/usr/bin/env bash
# The workflow, spread over 3 shards, writes the workspace files of one run
# on one machine byte for byte; a bad configuration or a velmora-cli it cannot
# find stops it before any job with a line naming the fault.
# usage: sharded_run_test.sh SOURCE_DIR INSTALLATION INPUT OPTION
set -euo pipefail
source_dir=$1 home=$2 input=$3 option=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
snakemake=$(command -v snakemake)

# A copy of the workflow with no build beside it takes velmora-cli from PATH:
# here a relative link, as /usr/bin/velmora-cli is into /usr/lib/velmora. The
# link's folder holds no data, so the run needs the link resolved.
cp -r "$source_dir/workflow" "$work/workflow"
mkdir "$work/bin"
ln -s "$(realpath --relative-to="$work/bin" "$home/velmora-cli")" "$work/bin/velmora-cli"

# --config beside input | the fault's line. PATH has no velmora-cli; a job
# would have made outdir.
while IFS='|' read -r args line; do
  if env PATH="$work/nowhere" "$snakemake" -s "$work/workflow/Snakefile" --directory "$work" --cores 1 \
       --quiet --config input="$input" $args > "$work/fault.log" 2>&1; then
    echo "--config $args ran"; exit 1
  fi
  grep -qF -- "$line" "$work/fault.log" || { echo "--config $args: no line '$line'"; cat "$work/fault.log"; exit 1; }
  [ ! -e "$work/bad" ] || { echo "--config $args: a job ran"; exit 1; }
done <<CASES
outdir=$work/bad option=unoin|config option=unoin: 'unoin' is not one of
outdir=$work/bad shards=0|config shards=0: 0 is less than the minimum of 1
option=$option|config: 'outdir' is a required property
outdir=$work/bad velmora=$work/none/velmora-cli|velmora=$work/none/velmora-cli: no such program
outdir=$work/bad|velmora-cli: not built at $work/build/velmora/velmora-cli and not on PATH
CASES

# One run into the folder the workflow will write to, kept aside.
"$home/velmora-cli" predict --option "$option" --home "$home" --workdir "$work/out" "$input" 2> "$work/single.log"
mv "$work/out" "$work/single"

PATH="$work/bin:$PATH" "$snakemake" -s "$work/workflow/Snakefile" --directory "$work" --cores 2 --quiet \
  --config input="$input" option="$option" shards=3 outdir="$work/out" \
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
