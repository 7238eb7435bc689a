#!/usr/bin/env bash
# Builds Disk Rorediva and runs all its tests headless. With --long the fuzz
# targets run after them (scripts/fuzz.sh, 60 s each).
set -euo pipefail
long=false
[ "${1:-}" = "--long" ] && long=true
cd "$(dirname "$0")"
scripts/deps.sh
scripts/check-layers.sh
scripts/build.sh
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2)
if $long; then
  scripts/fuzz.sh
fi
