#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Velmora and runs every test:
# the layer and format checks, the release build, a build without the window
# (no Qt), a build under AddressSanitizer and UndefinedBehaviorSanitizer, the
# fuzz targets (seed corpus replayed, then 20 s of fuzzing each), and the two
# Debian packages, built and checked without installing them.
# Warnings are errors in all four builds.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
jobs=$(nproc)

scripts/check-layers.sh
scripts/check-format.sh

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVELMORA_WERROR=ON -DBUILD_TESTING=ON -DVELMORA_BENCH=ON
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs")

# The miRBase download of the first build serves the others.
mirbase=$(sed -n 's/^VELMORA_MIRBASE_FASTA:FILEPATH=//p' build/CMakeCache.txt)

cmake -S . -B build-nogui -DCMAKE_BUILD_TYPE=Release -DVELMORA_WERROR=ON -DVELMORA_GUI=OFF -DBUILD_TESTING=ON \
  -DVELMORA_MIRBASE_FASTA="$mirbase"
cmake --build build-nogui -j "$jobs"
(cd build-nogui && ctest --output-on-failure -j "$jobs")

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON -DVELMORA_WERROR=ON -DBUILD_TESTING=ON \
  -DVELMORA_MIRBASE_FASTA="$mirbase"
cmake --build build-sanitize -j "$jobs"
(cd build-sanitize && ctest --output-on-failure -j "$jobs")

JOBS="$jobs" scripts/fuzz.sh "$mirbase"

scripts/package.sh "$mirbase"
scripts/check-packages.sh
