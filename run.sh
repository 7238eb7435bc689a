#!/usr/bin/env bash
# Builds Disk Rorediva and its tools (not the tests) and starts it, installing
# what is missing first. Once built, build/Quorl starts it directly.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
scripts/build.sh programs
prefix="${XDG_DATA_HOME:-$HOME/.local/share}/quorl"
# Setup keeps what is there and links desktop programs installed since the last run.
build/quorl-setup --prefix "$prefix" >/dev/null
exec build/Quorl
