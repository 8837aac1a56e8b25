#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang (AddressSanitizer and UBSan on)
# and runs each for SECONDS (default 30) over its seed corpus.
#   scripts/fuzz.sh [SECONDS] [NAME...]     NAME: wave image script options
# The corpus grows in build-fuzz/corpus/NAME; a crash leaves
# build-fuzz/crash-NAME-* for a regression case. Exit 1 on any finding.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
shift || true
names=("$@")
[ ${#names[@]} -eq 0 ] && names=(wave image script options)

# What only fuzzing needs: clang and its sanitizer and fuzzer runtimes.
missing=()
for p in clang libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi

CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELMOR_FUZZ=ON -DVELMOR_TESTS=OFF -DVELMOR_BENCH=OFF >/dev/null
cmake --build build-fuzz --target "${names[@]/#/fuzz_}"

export ASAN_OPTIONS="detect_leaks=0:${ASAN_OPTIONS:-}"
status=0
for n in "${names[@]}"; do
  corpus=build-fuzz/corpus/$n
  mkdir -p "$corpus"
  cp -n fuzz/corpus/"$n"/* "$corpus"/ 2>/dev/null || true
  log=build-fuzz/fuzz-$n.log
  if build-fuzz/fuzz/fuzz_"$n" -max_total_time="$seconds" -rss_limit_mb=2048 -max_len=65536 \
       -print_final_stats=1 -artifact_prefix=build-fuzz/crash-"$n"- "$corpus" >"$log" 2>&1; then
    runs=$(grep -m1 'stat::number_of_executed_units' "$log" | awk '{print $2}')
    echo "fuzz $n: ${runs:-?} runs in ${seconds} s, no finding"
  else
    echo "fuzz $n: FINDING (see $log)"
    tail -n 30 "$log"
    status=1
  fi
done
exit $status
