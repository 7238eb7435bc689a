#!/usr/bin/env bash
# Installs the Debian packages the program and its tests need, only those missing.
set -euo pipefail
packages=(build-essential cmake pkg-config qt6-base-dev qt6-multimedia-dev
          libgtest-dev libzip-dev arj xvfb xdotool fonts-dejavu-core libgl-dev attr ccache
          openbox python3-pyatspi at-spi2-core dbus-x11)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
