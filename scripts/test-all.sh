#!/usr/bin/env bash
# Builds everything and runs every test:
#  1. the simulation's unit, scenario and fault-sweep tests;
#  2. the same suite under AddressSanitizer and UndefinedBehaviorSanitizer;
#  3. PrinterPort.exe for Windows 9x and the check of its import table;
#  4. the integration tests under Wine, each compared with the simulation;
#  5. a short run of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$(date +%s)
step() { echo; echo "== $1 ($(( $(date +%s) - start )) s)"; }

step "packages"
scripts/install-deps.sh --tests

step "simulation: build and test"
cmake --preset sim >/dev/null
cmake --build --preset sim
ctest --preset sim

step "simulation under AddressSanitizer and UBSan"
cmake --preset sim-asan >/dev/null
cmake --build --preset sim-asan
ctest --preset sim-asan

step "PrinterPort.exe for Windows 9x"
cmake --preset win32 >/dev/null
cmake --build --preset win32
ctest --preset win32

step "Wine integration tests"
SIM_BUILD=build/sim scripts/wine-tests.sh

step "fuzzing"
scripts/fuzz.sh "${FUZZ_SECONDS:-10}"

step "all tests passed"
