#!/usr/bin/env bash
# Installs the Debian packages the program and its tests need, only those missing;
# with package names as arguments, those instead.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-multimedia-dev libgtest-dev libzip-dev zlib1g-dev libgl-dev
  arj unzip attr fonts-dejavu-core
  # A FAT stick for the tests: an image made and mounted through FUSE.
  dosfstools fusefat
  xvfb xdotool xterm
  # The end-to-end tests: a window manager and the accessibility bus.
  openbox python3-pyatspi at-spi2-core dbus-x11 imagemagick x11-utils
  # A file deleted to the trash is restored there as a file manager would.
  trash-cli
  # The picture viewer's extra formats and the media player's decoders.
  qt6-image-formats-plugins gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav
  # The test MP4 is made at run time: the GStreamer tools and the H.264 encoder.
  gstreamer1.0-tools gstreamer1.0-plugins-ugly
  # The package test checks the desktop entry and the AppStream metadata.
  desktop-file-utils appstream
)
[ $# -gt 0 ] && packages=("$@")
# One query for all of them: a start with everything installed stays quick.
declare -A installed
while read -r name state; do
  [ "$state" = installed ] && installed[$name]=1
done < <(dpkg-query -W -f='${Package} ${db:Status-Status}\n' "${packages[@]}" 2>/dev/null || true)
missing=()
for p in "${packages[@]}"; do
  [ -n "${installed[$p]:-}" ] || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
