#!/usr/bin/env bash
# The predictors at transcript scale: per stage, time, throughput and peak
# memory on deterministic synthetic lncRNAs, with parasail's striped kernel
# on the same scanner work where it was built.
# usage: bench/predictors/scale.sh [BUILD_DIR] [--large] [--threads N]
#   default: 1 Mnt and poly-U against 320 knt of poly-A; --large adds 10 Mnt
#   and one 20 Mnt sequence (minutes each on a shared machine: run them rarely).
set -euo pipefail
build=build
large=0
threads=2
while [ $# -gt 0 ]; do
  case $1 in
    --large) large=1 ;;
    --threads) threads=$2; shift ;;
    *) build=$1 ;;
  esac
  shift
done
home=$build/velmora
generator=$build/bench/make_synthetic_lncrnas
training=$(dirname "$0")/../../../shared/data/lncrna_examples.fa
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Seconds and peak resident megabytes of one run.
measure() {
  /usr/bin/time -f '%e %M' -o "$work/time" "$@" > /dev/null
  read -r seconds kilobytes < "$work/time"
  echo "$seconds $((kilobytes / 1024))"
}

nucleotides() { grep -v '^>' "$1" | tr -d '\n' | wc -c; }

stage_line() {  # name seconds megabytes work unit
  awk -v name="$1" -v s="$2" -v mb="$3" -v w="$4" -v unit="$5" -v t="$threads" 'BEGIN {
    rate = s > 0 ? w / s / 1e9 : 0
    printf "  %-12s %8.2f s  %8.3f G %s/s", name, s, rate, unit
    if (unit == "cells") printf " (%.2f per thread)", rate / t
    printf "  peak %5d MB\n", mb }'
}

mirna_nt=$(nucleotides "$home/lib/small_mirs.txt")

run_case() {  # label fasta
  local label=$1 fasta=$2
  # Printed piece by piece: joining a 20 Mnt sequence into one awk string is quadratic.
  awk '/^>/ { if (name) printf "\r\n"; name = toupper(substr($1, 2)); printf "%s\t9606\t", name; next }
       { printf "%s", toupper($0) } END { if (name) printf "\r\n" }' "$fasta" > "$work/utr.txt"
  tr '[:lower:]' '[:upper:]' < "$fasta" > "$work/lnc.fa"
  local nt
  nt=$(nucleotides "$work/lnc.fa")
  echo "$label: $(grep -c '^>' "$work/lnc.fa") sequences, $nt nt; $(grep -c '^>' "$home/lib/small_mirs.txt") miRNAs"
  read -r s mb < <(measure "$home/perlbin/targetscan_60" "$home/lib/hsa_mir_seed.txt" "$work/utr.txt" "$work/ts.txt")
  stage_line "site finder" "$s" "$mb" "$nt" "nt"
  read -r s mb < <(measure "$home/lib/miranda" "$home/lib/small_mirs.txt" "$work/lnc.fa" -out "$work/mr.txt" -t "$threads")
  stage_line "scanner" "$s" "$mb" "$((mirna_nt * nt))" "cells"
  if [ -x "$build/bench/parasail_bench" ] && [ "$label" = "1 Mnt" ]; then
    echo "  $("$build/bench/parasail_bench" "$home/lib/small_mirs.txt" "$work/lnc.fa" "$threads")"
  fi
}

"$generator" --train "$training" --nt 1000000 --seed 1 > "$work/1m.fa"
run_case "1 Mnt" "$work/1m.fa"

printf '>poly-U\n%s\n' "$(printf 'U%.0s' $(seq 22))" > "$work/polyu.fa"
printf '>poly-A\n%s\n' "$(head -c 320000 /dev/zero | tr '\0' A)" > "$work/polya.fa"
read -r s mb < <(measure "$home/lib/miranda" "$work/polyu.fa" "$work/polya.fa" -out "$work/mr.txt" -t "$threads")
echo "poly-U against 320 knt of poly-A:"
stage_line "scanner" "$s" "$mb" "$((22 * 320000))" "cells"

if [ "$large" = 1 ]; then
  "$generator" --train "$training" --nt 10000000 --seed 2 > "$work/10m.fa"
  run_case "10 Mnt" "$work/10m.fa"
  "$generator" --train "$training" --single 20000000 --seed 3 > "$work/20m.fa"
  run_case "one 20 Mnt sequence" "$work/20m.fa"
fi
