#!/usr/bin/env bash
# What CI runs after the normal suite (.ci/run calls this): the suite again
# with one drawing worker, the drawing tests and every level under
# ThreadSanitizer with several workers, the suite under AddressSanitizer and
# UBSan, the two Debian packages installed, used and removed, then each
# fuzzer for 30 seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
(cd build-test && VELMOR_THREADS=1 ctest --output-on-failure --timeout 300 -j2)
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMOR_TSAN=ON
cmake --build build-tsan --target test_graphics test_tiger velmor
for workers in 2 7; do
    for suite in test_graphics test_tiger; do
        VELMOR_THREADS=$workers TSAN_OPTIONS="halt_on_error=1" "build-tsan/tests/$suite" \
            --gtest_brief=1
    done
done
# Every level, every frame drawn and sent to 7 workers.
for level in sprite savanna shooter tiger breakout; do
    VELMOR_THREADS=7 VELMOR_PARALLEL_MIN_PIXELS=0 TSAN_OPTIONS="halt_on_error=1" \
        build-tsan/velmor --headless --level "$level" --frames 200 --draw-every-frame
done
echo "ThreadSanitizer: nothing reported"
bash scripts/test.sh --sanitize
bash scripts/package_check.sh build-test
bash scripts/fuzz.sh 30
