#!/usr/bin/env bash
# Installs the Debian packages Velmora needs, only those missing:
#   install-deps.sh build   what building and running need (scripts/run.sh)
#   install-deps.sh         that and what the tests, benchmarks and packages need (scripts/test.sh)
set -euo pipefail

# Recommended packages are left out of the quick route; the window's display
# plugins, which Qt only recommends, are named instead.
packages=(build-essential cmake pkg-config libcli11-dev libgmp-dev libhwy-dev libcairo2-dev zlib1g-dev nettle-dev
          qt6-base-dev qt6-qpa-plugins nlohmann-json3-dev)
apt_options=(--no-install-recommends)
if [ "${1:-all}" != build ]; then
  apt_options=()
  packages+=(clang-format libgtest-dev libbenchmark-dev xvfb xauth librsvg2-bin snakemake clang-14 libclang-rt-14-dev
             help2man lintian desktop-file-utils appstream man-db)
fi

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
# The package lock can be held by another apt run for a while: retry.
for attempt in 1 2 3 4 5 6; do
  if $sudo apt-get update -qq && DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${apt_options[@]}" \
      "${missing[@]}"; then
    exit 0
  fi
  echo "apt-get failed (attempt $attempt); retrying in 20 s" >&2
  sleep 20
done
echo "could not install: ${missing[*]}" >&2
exit 1
