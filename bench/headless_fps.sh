#!/usr/bin/env bash
# Headless throughput: frames per second of `velmor --headless` for each
# level, with one worker and with the default worker count. Run from the
# build folder (or pass the velmor binary); FRAMES frames per run (3000).
#   bench/headless_fps.sh [path/to/velmor]
set -euo pipefail
velmor="${1:-./velmor}"
frames="${FRAMES:-3000}"
printf '%-10s %14s %14s\n' level "1 worker" "default"
for level in sprite savanna shooter tiger breakout; do
    row=()
    for threads in 1 ""; do
        start=$(date +%s.%N)
        VELMOR_THREADS="$threads" "$velmor" --headless --level "$level" --frames "$frames" \
            >/dev/null 2>&1
        end=$(date +%s.%N)
        row+=("$(awk -v f="$frames" -v s="$start" -v e="$end" 'BEGIN { printf "%.0f fps", f / (e - s) }')")
    done
    printf '%-10s %14s %14s\n' "$level" "${row[0]}" "${row[1]}"
done
