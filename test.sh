#!/usr/bin/env bash
# Builds Disk Rorediva and runs all its tests headless.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
scripts/check-layers.sh
scripts/build.sh
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
