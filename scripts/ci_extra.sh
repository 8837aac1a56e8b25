#!/usr/bin/env bash
# What CI runs after the normal suite (.ci/run calls this): the suite again
# under AddressSanitizer and UBSan, then each fuzzer for 30 seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/test.sh --sanitize
bash scripts/fuzz.sh 30
