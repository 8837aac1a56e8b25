#!/usr/bin/env bash
# Installs the Debian 12 packages Velmor needs to build, run and test (as root).
set -euo pipefail
. "$(dirname "$0")/lib.sh"
packages=(
  build-essential cmake ninja-build pkg-config
  libsdl2-dev libsdl2-image-dev libassimp-dev libx11-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libegl-dev libgl-dev libegl-mesa0 libgl1-mesa-dri
  xvfb xauth xdotool openbox x11-utils
  sox doxygen
)
install_missing "${packages[@]}"
