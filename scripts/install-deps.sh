#!/usr/bin/env bash
# Installs what building and testing PrinterPort needs on Debian 12.
# Usage: scripts/install-deps.sh [--tests]   (--tests adds Wine and the fuzzing compiler)
set -euo pipefail

packages=(cmake ninja-build g++ make nlohmann-json3-dev libgtest-dev libgmock-dev googletest)
if [ "${1:-}" = "--tests" ]; then
  # `wine` gives the wine command; with wine64 it needs no 32-bit part. Never
  # wine32: these machines run no 32-bit Linux code, and it would break wine.
  packages+=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 python3 clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# CI always refreshes the package lists; elsewhere only when something is missing.
if [ ${#missing[@]} -gt 0 ] || [ "${CI:-}" = "true" ]; then
  sudo=""
  [ "$(id -u)" = 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  if [ ${#missing[@]} -gt 0 ]; then
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
fi
