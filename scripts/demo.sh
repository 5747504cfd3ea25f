#!/usr/bin/env bash
# Builds the simulator and runs PrinterPort on the bundled default machine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset sim >/dev/null
cmake --build --preset sim --target printerport-sim >/dev/null
exec build/sim/printerport-sim --trace "Acme Virtual Printer"
