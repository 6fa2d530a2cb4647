#!/bin/bash
# Installs what the builds and tests need on a fresh Debian 12 machine (as root).
# Usage: tools/install-deps.sh [linux|all]
set -euo pipefail
want=${1:-all}
packages=(g++ cmake ninja-build googletest libbenchmark-dev make python3)
if [ "$want" = all ]; then
  # wine gives the `wine` command; wine64 runs the x86_64 programs (no wine32:
  # this kernel cannot run 32-bit code). Recommends as tested here.
  packages+=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64 wine wine64 faketime binutils)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
fi
