#!/bin/sh
# PrinterPort under Wine: builds the 64-bit program with its test helpers
# (preset win64) and the simulator (build/wine-sim), then runs every Wine
# scenario in a fresh prefix and the same machine through printerport-sim.
# Needs: wine (Debian's wine64, never wine32), x86_64-w64-mingw32-g++, python3.
# Ends with 'N passed, N failed'; exit status 1 when a test failed, 2 when
# something needed is missing.
# Usage: scripts/wine-tests.sh [--only TEXT]
set -eu
cd "$(dirname "$0")/.."
for tool in wine wineboot wineserver x86_64-w64-mingw32-g++ python3 cmake ninja; do
    command -v "$tool" >/dev/null 2>&1 || { echo "wine-tests: $tool is missing" >&2; exit 2; }
done
cmake --preset win64 >/dev/null
cmake --build --preset win64
# The simulator of an existing build folder can be named with SIM_BUILD.
sim_build=${SIM_BUILD:-build/wine-sim}
if [ "$sim_build" = build/wine-sim ]; then
    cmake --preset sim -B build/wine-sim -DBUILD_TESTING=OFF >/dev/null
fi
cmake --build "$sim_build" --target printerport-sim
exec python3 tests/wine/wine_tests.py --build build/win64 --sim "$sim_build/printerport-sim" "$@"
