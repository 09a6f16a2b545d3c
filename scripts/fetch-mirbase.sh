#!/usr/bin/env bash
# Unpacks Debian's optimir package (not installed: only its data is used)
# into DEST, for the miRBase release 22 human mature miRNA sequences it ships.
set -euo pipefail
dest=${1:?usage: fetch-mirbase.sh DEST}
mkdir -p "$dest"
cd "$dest"
if ! ls optimir_*.deb >/dev/null 2>&1; then
  for attempt in 1 2 3 4 5; do
    apt-get download optimir 2>/dev/null && break
    echo "apt-get download optimir failed (attempt $attempt); refreshing the package lists" >&2
    sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq || true
    sleep 10
  done
fi
rm -rf optimir
dpkg -x optimir_*.deb optimir
