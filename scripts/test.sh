#!/usr/bin/env bash
# Installs what is needed, builds Velmor with its tests and runs every test.
#   scripts/test.sh             Release build in build-test/
#   scripts/test.sh --sanitize  AddressSanitizer + UBSan build in build-asan/
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
dir=build-test
flags=(-DCMAKE_BUILD_TYPE=Release)
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-asan
  flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMOR_SANITIZE=ON)
  # The engine and everything it makes live until the process exits, by
  # design, so leak reports would list every test's engine: leaks are off,
  # every other check is on.
  export ASAN_OPTIONS="detect_leaks=0:${ASAN_OPTIONS:-}"
  export UBSAN_OPTIONS="print_stacktrace=1:${UBSAN_OPTIONS:-}"
fi
cmake -S . -B "$dir" -G Ninja "${flags[@]}"
cmake --build "$dir"
cd "$dir"
ctest --output-on-failure --timeout 300 -j2
