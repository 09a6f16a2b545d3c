#!/usr/bin/env bash
# Installs the Debian packages Velmora builds and tests with, only those missing.
set -euo pipefail

packages=(build-essential cmake pkg-config clang-format libgtest-dev libbenchmark-dev libcli11-dev libgmp-dev libhwy-dev
          libcairo2-dev zlib1g-dev nettle-dev qt6-base-dev xvfb xauth librsvg2-bin snakemake clang-14 libclang-rt-14-dev)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
# The package lock can be held by another apt run for a while: retry.
for attempt in 1 2 3 4 5 6; do
  if $sudo apt-get update -qq && DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"; then
    exit 0
  fi
  echo "apt-get failed (attempt $attempt); retrying in 20 s" >&2
  sleep 20
done
echo "could not install: ${missing[*]}" >&2
exit 1
