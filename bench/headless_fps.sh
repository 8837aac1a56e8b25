#!/usr/bin/env bash
# Headless throughput: frames per second of `velmor --headless` for each
# level, drawing every frame (--draw-every-frame) and drawing only the frames
# looked at (the default: here none), each with one worker and with the
# default worker count. Run from the build folder (or pass the velmor
# binary). Each figure is the median of RUNS runs (5); a run's start-up (the
# time of a one-frame run) is taken off. FRAMES frames per run drawing every
# frame (3000), KEPT_FRAMES otherwise (100000).
#   bench/headless_fps.sh [path/to/velmor]
set -euo pipefail
velmor="${1:-./velmor}"
frames="${FRAMES:-3000}"
kept_frames="${KEPT_FRAMES:-100000}"
runs="${RUNS:-5}"

# Seconds a run of $1 frames takes; the rest are velmor's options.
seconds() {
    local n=$1 start end
    shift
    start=$(date +%s.%N)
    VELMOR_THREADS="$threads" "$velmor" --headless --frames "$n" "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    awk -v s="$start" -v e="$end" 'BEGIN { print e - s }'
}

# The median frames per second of $1 frames over $runs runs.
fps() {
    local n=$1 i
    shift
    for ((i = 0; i < runs; ++i)); do
        local whole one
        whole=$(seconds "$n" "$@")
        one=$(seconds 1 "$@")
        awk -v n="$n" -v w="$whole" -v o="$one" 'BEGIN { print (n - 1) / (w - o) }'
    done | sort -g | awk '{ v[NR] = $1 } END { printf "%.0f", v[int((NR + 1) / 2)] }'
}

printf '%-10s %22s %22s\n' "" "every frame drawn" "only frames looked at"
printf '%-10s %11s %10s %11s %10s\n' level "1 worker" default "1 worker" default
for level in sprite savanna shooter tiger breakout; do
    row=()
    for mode in every kept; do
        for threads in 1 ""; do
            if [ "$mode" = every ]; then
                row+=("$(fps "$frames" --level "$level" --draw-every-frame)")
            else
                row+=("$(fps "$kept_frames" --level "$level")")
            fi
        done
    done
    printf '%-10s %11s %10s %11s %10s\n' "$level" "${row[@]}"
done
