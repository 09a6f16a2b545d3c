#!/usr/bin/env bash
# The workflow, spread over shards, writes the workspace files of one run on
# one machine byte for byte, also with empty shards; a changed option, input
# or shard count reruns it, an unchanged rerun does nothing; a bad
# configuration or a velmora-cli it cannot find stops it before any job with
# a line naming the fault.
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

# Rows run in order into one outdir, each against one run of the same input
# and option into that folder. input | option | shards | the folder snakemake
# runs in (its .snakemake holds the record of earlier runs) | what it must do:
# run (result.xls rewritten) or nothing (no file in outdir rewritten). The
# run from elsewhere finds in outdir a result newer than its input, and no
# record of how it was made.
# lncrna_small.fa (3 records) lies beside the input; 30 shards of it leave
# most shards empty, the first one among them.
small=$(dirname "$input")/lncrna_small.fa
other=$([ "$option" = miranda ] && echo targetscan || echo miranda)
mkdir "$work/elsewhere"
rows=0
while IFS='|' read -r row_input row_option row_shards from expect; do
  single=$work/single-$(basename "$row_input")-$row_option
  if [ ! -d "$single" ]; then
    # The scanner's banner names the workspace, so the one run uses outdir too.
    [ ! -d "$work/out" ] || mv "$work/out" "$work/aside"
    "$home/velmora-cli" predict --option "$row_option" --home "$home" --workdir "$work/out" "$row_input" \
      2> "$work/single.log" || { cat "$work/single.log"; exit 1; }
    mv "$work/out" "$single"
    [ ! -d "$work/aside" ] || mv "$work/aside" "$work/out"
  fi
  touch "$work/before"
  row="$(basename "$row_input") option=$row_option shards=$row_shards in $from"
  PATH="$work/bin:$PATH" "$snakemake" -s "$work/workflow/Snakefile" --directory "$from" --cores 2 --quiet \
    --config input="$row_input" option="$row_option" shards="$row_shards" outdir="$work/out" \
    > "$work/workflow.log" 2>&1 || { echo "$row: failed"; cat "$work/workflow.log"; exit 1; }
  rewritten=$(find "$work/out" -newer "$work/before" -type f)
  case $expect in
    run) [[ $rewritten == *"$work/out/result.xls"* ]] || { echo "$row: result.xls not rewritten"; exit 1; } ;;
    nothing) [ -z "$rewritten" ] || { echo "$row: rewrote" $rewritten; exit 1; } ;;
  esac
  if [ "$row_shards" -gt "$(grep -c '>' "$row_input")" ] && [ -s "$work/out/shards/000/input.fa" ]; then
    echo "$row: the first shard has records; the row no longer covers an empty first shard"; exit 1
  fi
  compared=0
  for file in "$single"/*; do
    name=$(basename "$file")
    [ "$name" != run_info.json ] || continue  # the record of map, with its own times and arguments
    cmp -s "$file" "$work/out/$name" || { echo "$row: $name differs from the one-machine run"; exit 1; }
    compared=$((compared + 1))
  done
  [ "$compared" -ge 8 ] || { echo "$row: only $compared files compared"; exit 1; }
  rows=$((rows + 1))
done <<ROWS
$input|$option|3|$work|run
$input|$option|3|$work|nothing
$input|$other|3|$work|run
$input|$other|3|$work|nothing
$small|$option|3|$work/elsewhere|run
$small|$option|30|$work|run
$small|$option|30|$work|nothing
ROWS
echo "$rows runs wrote the workspace files of one run ($option, then $other, 3 and 30 shards); unchanged reruns did nothing"
