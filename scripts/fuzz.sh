#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang (AddressSanitizer and UBSan on)
# and runs each for SECONDS (default 30) over its seed corpus.
#   scripts/fuzz.sh [SECONDS] [NAME...]     NAME: wave image script options xmesh
# The corpus grows in build-fuzz/corpus/NAME; a crash leaves
# build-fuzz/crash-NAME-* for a regression case. Exit 1 on any finding.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib.sh
seconds=${1:-30}
shift || true
names=("$@")
[ ${#names[@]} -eq 0 ] && names=(wave image script options xmesh)

# What only fuzzing needs: clang and its sanitizer and fuzzer runtimes.
install_missing clang libclang-rt-14-dev

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
  # The xmesh run forks and goes on past a crash, so that one run shows
  # every kind of input that still gets through to a fault in Assimp.
  # It also takes inputs large enough to nest objects thousands deep.
  extra=(-max_len=65536)
  [ "$n" = xmesh ] && extra=(-max_len=524288 -fork=1 -ignore_crashes=1)
  rc=0
  build-fuzz/fuzz/fuzz_"$n" -max_total_time="$seconds" -rss_limit_mb=2048 \
    "${extra[@]}" -print_final_stats=1 -artifact_prefix=build-fuzz/crash-"$n"- "$corpus" \
    >"$log" 2>&1 || rc=$?
  runs=$(grep -m1 'stat::number_of_executed_units' "$log" | awk '{print $2}' || true)
  [ -n "$runs" ] || runs=$(grep -E '^#[0-9]+:' "$log" | tail -n 1 | sed -E 's/^#([0-9]+):.*/\1/' || true)
  other=0
  for a in build-fuzz/crash-"$n"-*; do
    [ -e "$a" ] || continue
    # An input that once took over 10 s is noted, not failed: on a loaded
    # machine any input can; replay it to see whether it is slow by itself.
    case "$a" in *-slow-unit-*) echo "fuzz $n: slow once (replay to time it): $a"; continue ;; esac
    echo "fuzz $n: FINDING $a"
    other=$((other + 1))
  done
  if [ "$other" -gt 0 ] || [ "$rc" -ne 0 ]; then
    echo "fuzz $n: FINDING (see $log)"
    tail -n 30 "$log"
    status=1
  else
    echo "fuzz $n: ${runs:-?} runs in ${seconds} s, no finding"
  fi
done
exit $status
