#!/usr/bin/env bash
# What CI runs after the normal suite (.ci/run calls this): the suite again
# with one drawing worker, the drawing tests under ThreadSanitizer with 2 and
# 7 workers, the suite under AddressSanitizer and UBSan, then each fuzzer for
# 30 seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
(cd build-test && VELMOR_THREADS=1 ctest --output-on-failure --timeout 300 -j2)
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMOR_TSAN=ON
cmake --build build-tsan --target test_graphics test_tiger
for workers in 2 7; do
    for suite in test_graphics test_tiger; do
        VELMOR_THREADS=$workers TSAN_OPTIONS="halt_on_error=1" "build-tsan/tests/$suite" \
            --gtest_brief=1
    done
done
bash scripts/test.sh --sanitize
bash scripts/fuzz.sh 30
