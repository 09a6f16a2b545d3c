#!/usr/bin/env bash
# Builds the two Debian packages into build/: velmora-cli_<version>_amd64.deb
# and velmora_<version>_amd64.deb. Compiled with Debian's hardening flags in
# a build folder of their own (build-package), without tests.
#   scripts/package.sh [MIRBASE_FASTA]
set -euo pipefail
cd "$(dirname "$0")/.."
mirbase=${1:-$(sed -n 's/^VELMORA_MIRBASE_FASTA:FILEPATH=//p' build/CMakeCache.txt 2>/dev/null || true)}

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DVELMORA_PACKAGE=ON -DBUILD_TESTING=OFF -DVELMORA_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" ${mirbase:+-DVELMORA_MIRBASE_FASTA="$mirbase"} >/dev/null
cmake --build build-package -j "$(nproc)"
rm -rf build-package/packages
(cd build-package && cpack -G DEB >/dev/null)
mkdir -p build
rm -f build/velmora-cli_*.deb build/velmora_*.deb
cp build-package/packages/*.deb build/
ls build/*.deb
