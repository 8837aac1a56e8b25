#!/usr/bin/env bash
# Windowed frame rate: each level in a 1024 x 768 window under an Xvfb of its
# own for FRAMES frames (600), with SDL's software and OpenGL renderers.
# Prints frames per second, the median and 99th-percentile interval between
# presents and the median time of a present, from the game's own frame log
# (VELMOR_FRAME_LOG). WM=openbox runs the window under openbox.
#   bench/windowed_fps.sh [path/to/velmor]      (needs Xvfb; openbox with WM=openbox)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
velmor=$(readlink -f "${1:-./velmor}")
frames="${FRAMES:-600}"
log=$(mktemp)
trap 'rm -f "$log"' EXIT

# One run's line: fps, median and p99 interval (ms), median present (ms).
stats() {
    local iv pr n
    iv=$(grep -v '^#' "$log" | awk 'NR > 1 { printf "%.3f\n", ($1 - prev) / 1000 } { prev = $1 }' | sort -n)
    pr=$(grep -v '^#' "$log" | awk '{ printf "%.3f\n", $2 / 1000 }' | sort -n)
    n=$(echo "$iv" | wc -l)
    pick() { echo "$1" | sed -n "$2p"; }
    awk -v n="$n" -v total="$(echo "$iv" | awk '{ t += $1 } END { print t }')" \
        -v med="$(pick "$iv" $(((n + 1) / 2)))" -v p99="$(pick "$iv" $(((n * 99 + 99) / 100)))" \
        -v pmed="$(pick "$pr" $(((n + 2) / 2)))" \
        'BEGIN { printf "%7.2f %9.2f %9.2f %9.3f", n * 1000 / total, med, p99, pmed }'
}

run() { # level renderer
    local wm=""
    [ "${WM:-}" = openbox ] && wm="openbox"
    VELMOR_FRAME_LOG="$log" SDL_RENDER_DRIVER="$2" bash "$here/../tests/replay/xserver.sh" \
        bash -c 'if [ -n "$1" ]; then "$1" >/dev/null 2>&1 & sleep 1; fi; shift; "$@"' _ "$wm" \
        "$velmor" --level "$1" --frames "$frames" >/dev/null 2>&1
}

printf '%-9s %-9s %7s %9s %9s %9s\n' level renderer fps "median" "p99" present
for level in sprite savanna shooter tiger breakout; do
    for renderer in software opengl; do
        run "$level" "$renderer"
        printf '%-9s %-9s %s\n' "$level" "$renderer" "$(stats)"
    done
done
echo "(intervals and present times in ms)"
