#!/usr/bin/env bash
# Builds Disk Rorediva and starts it, installing what is missing first.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
scripts/build.sh
prefix="${XDG_DATA_HOME:-$HOME/.local/share}/quorl"
if [ ! -f "$prefix/drive_c/windows/quorl.ini" ]; then
  build/quorl-setup --prefix "$prefix"
fi
exec build/Quorl
