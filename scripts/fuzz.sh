#!/usr/bin/env bash
# Builds the fuzz targets with Debian's clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer), replays the seed corpus in fuzz/corpus/ and
# fuzzes each target for a bounded time (FUZZ_SECONDS, default 20). New
# inputs go to a scratch folder, never into the repository.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-20}
jobs=${JOBS:-$(nproc)}
mirbase=${1:-$(sed -n 's/^VELMORA_MIRBASE_FASTA:FILEPATH=//p' build/CMakeCache.txt 2>/dev/null || true)}

CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=Debug -DVELMORA_FUZZ=ON -DVELMORA_WERROR=ON \
  -DVELMORA_GUI=OFF -DVELMORA_BENCH=OFF -DBUILD_TESTING=OFF ${mirbase:+-DVELMORA_MIRBASE_FASTA="$mirbase"} >/dev/null
cmake --build build-fuzz -j "$jobs" --target velmora_fuzz

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for corpus in fuzz/corpus/*/; do
  target=$(basename "$corpus")
  program=build-fuzz/fuzz/${target}_fuzz
  "$program" "$corpus"* 2>"$scratch/$target.replay.log" || { cat "$scratch/$target.replay.log"; exit 1; }
  mkdir -p "$scratch/$target"
  cp "$corpus"* "$scratch/$target/"
  (cd "$scratch" && "$OLDPWD/$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 "$target" \
    2>"$target.fuzz.log") || { tail -40 "$scratch/$target.fuzz.log"; exit 1; }
  echo "fuzz: $target: corpus replayed, $(grep -o 'stat::number_of_executed_units: [0-9]*' \
    "$scratch/$target.fuzz.log" | grep -o '[0-9]*$' || echo some) inputs in ${seconds} s, no finding"
done
