#!/usr/bin/env bash
# Times the two predictors of an installation on a FASTA file, the way a
# Predict run calls them (median of five runs), and counts what they found.
# usage: bench/predictors.sh [INSTALLATION] [FASTA]
set -euo pipefail
home=${1:-build/velmora}
fasta=${2:-../shared/data/lncrna_examples.fa}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The site finder's input: one line per record, identifier TAB 9606 TAB sequence.
awk '/^>/ { if (name) print name "\t9606\t" seq "\r"; name = toupper($1); seq = ""; next }
     { seq = seq toupper($0) } END { if (name) print name "\t9606\t" seq "\r" }' "$fasta" > "$work/utr.txt"
tr '[:lower:]' '[:upper:]' < "$fasta" > "$work/lnc.txt"

median() {
  local times=()
  for _ in 1 2 3 4 5; do
    local start end
    start=$(date +%s%N)
    "$@" > /dev/null
    end=$(date +%s%N)
    times+=("$(((end - start) / 1000000))")
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n 3p
}

records=$(grep -c '^>' "$fasta")
bases=$(grep -v '^>' "$fasta" | tr -d '\n' | wc -c)
mirnas=$(grep -c '^>' "$home/lib/small_mirs.txt")
echo "input: $records lncRNAs, $bases nt; $mirnas miRNAs"
echo "site finder: $(median "$home/perlbin/targetscan_60" "$home/lib/hsa_mir_seed.txt" "$work/utr.txt" "$work/ts.txt") ms," \
     "$(($(wc -l < "$work/ts.txt") - 1)) sites"
echo "scanner:     $(median "$home/lib/miranda" "$home/lib/small_mirs.txt" "$work/lnc.txt" -out "$work/mr.txt") ms," \
     "$(grep -c '^>[^>]' "$work/mr.txt") hits in $(grep -c '^Performing Scan:' "$work/mr.txt") miRNA-lncRNA pairs"
