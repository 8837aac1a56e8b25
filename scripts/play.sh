#!/usr/bin/env bash
# Installs what is needed, builds Velmor and starts the game. Extra arguments
# go to velmor (for example: --level savanna).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMOR_TESTS=OFF -DVELMOR_BENCH=OFF
cmake --build build
exec ./build/velmor "$@"
