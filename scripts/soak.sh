#!/usr/bin/env bash
# Soak: each level headless for FRAMES frames (default 1000000) with a
# scripted player, sampling the process twice a second. Prints a table of
# wall-clock time per frame and resident memory over the first and the last
# fifth of the run, and the peak.
#   scripts/soak.sh [FRAMES] [LEVEL...]     (build first: build/velmor)
set -euo pipefail
cd "$(dirname "$0")/.."
frames=${1:-1000000}
shift || true
levels=("$@")
[ ${#levels[@]} -eq 0 ] && levels=(sprite savanna shooter breakout tiger)
velmor=${VELMOR:-build/velmor}
work=$(mktemp -d /tmp/velmor-soak-XXXXXX)
trap '[ -n "${SOAK_KEEP:-}" ] || rm -rf "$work"' EXIT

# One input script line generator per level: the player's habits, repeated.
script() {
  local level=$1 period=600
  awk -v n="$frames" -v p=$period -v level="$level" 'BEGIN {
    start = 1
    if (level == "shooter") {
      # Firing against the left edge, out of the way of the enemies, through the
      # 30 s of waves, so the ship lives on and fires for the whole run.
      printf "1 key DIK_SPACE down\n1 key DIK_LEFT down\n1900 key DIK_LEFT up\n"
      start = 1901
    }
    for (f = start; f + p <= n; f += p) {
      if (level == "sprite") {
        printf "%d mouse 40 25\n%d button left down\n%d button left up\n%d mouse -40 -25\n", f, f+10, f+200, f+300
      } else if (level == "savanna") {
        # Ten giraffes and a lion in, then every giraffe and lion out.
        printf "%d key DIK_1 down\n%d key DIK_1 up\n%d key DIK_2 down\n%d key DIK_2 up\n", f, f+1, f+2, f+3
        printf "%d key DIK_6 down\n%d key DIK_6 up\n", f+100, f+101
        printf "%d key DIK_3 down\n%d key DIK_3 up\n%d key DIK_4 down\n%d key DIK_4 up\n", f+500, f+501, f+502, f+503
      } else if (level == "shooter") {
        printf "%d key DIK_SPACE down\n%d key DIK_LEFT down\n%d key DIK_LEFT up\n", f, f+1, f+120
        printf "%d key DIK_RIGHT down\n%d key DIK_RIGHT up\n%d key DIK_Z down\n%d key DIK_Z up\n%d key DIK_SPACE up\n", f+121, f+240, f+300, f+360, f+590
      } else if (level == "tiger") {
        printf "%d key DIK_LEFT down\n%d key DIK_LEFT up\n%d key DIK_UP down\n%d key DIK_UP up\n", f, f+150, f+151, f+300
        printf "%d key DIK_RIGHT down\n%d key DIK_RIGHT up\n%d key DIK_DOWN down\n%d key DIK_DOWN up\n", f+301, f+450, f+451, f+590
      } else {
        printf "%d key DIK_SPACE down\n%d key DIK_SPACE up\n%d key DIK_LEFT down\n%d key DIK_LEFT up\n", f, f+2, f+3, f+250
        printf "%d key DIK_RIGHT down\n%d key DIK_RIGHT up\n", f+251, f+500
      }
    }
  }'
}

printf '| level | frames | wall s | ms/frame start | ms/frame end | RSS MB start | RSS MB end | peak RSS MB |\n'
printf '|---|---|---|---|---|---|---|---|\n'
for level in "${levels[@]}"; do
  script "$level" >"$work/$level.txt"
  every=$((frames / 200 > 0 ? frames / 200 : 1))
  start=$(date +%s.%N)
  "$velmor" --level "$level" --headless --frames "$frames" --input "$work/$level.txt" \
    --dump "$work/$level.jsonl" --dump-every "$every" 2>"$work/$level.err" &
  pid=$!
  samples="$work/$level.samples"
  : >"$samples"
  # Samples: seconds since start, frames dumped so far (x every), RSS and peak in KB.
  while kill -0 "$pid" 2>/dev/null; do
    if status=$(cat /proc/$pid/status 2>/dev/null); then
      rss=$(awk '/^VmRSS/ {print $2}' <<<"$status")
      hwm=$(awk '/^VmHWM/ {print $2}' <<<"$status")
      dumped=$(grep -c '"frame"' "$work/$level.jsonl" 2>/dev/null || true)
      [ -n "$rss" ] && echo "$(date +%s.%N) ${dumped:-0} $rss $hwm" >>"$samples"
    fi
    sleep 0.5
  done
  wait "$pid" || { echo "soak: $level failed:"; cat "$work/$level.err"; exit 1; }
  end=$(date +%s.%N)
  awk -v t0="$start" -v t1="$end" -v every="$every" -v level="$level" -v frames="$frames" '
    { t[NR] = $1 - t0; f[NR] = $2 * every; r[NR] = $3; h[NR] = $4 }
    END {
      n = NR; k = int(n / 5); if (k < 1) k = 1
      a = 1; while (a < n && f[a] == 0) a++   # past the loading
      if (a + k > n) k = n - a
      b = n - k
      # ms per frame over the first and the last fifth of the samples.
      ms0 = (k > 0 && f[a+k] > f[a]) ? 1000 * (t[a+k] - t[a]) / (f[a+k] - f[a]) : 0
      ms1 = (k > 0 && f[n] > f[b]) ? 1000 * (t[n] - t[b]) / (f[n] - f[b]) : 0
      r0 = 0; r1 = 0; peak = 0
      for (i = a; i <= a + k; i++) r0 += r[i]
      for (i = b; i <= n; i++) r1 += r[i]
      for (i = 1; i <= n; i++) if (h[i] > peak) peak = h[i]
      printf "| %s | %d | %.0f | %.3f | %.3f | %.1f | %.1f | %.1f |\n", level, frames, t1 - t0, ms0, ms1, r0 / (k + 1) / 1024, r1 / (k + 1) / 1024, peak / 1024
    }' "$samples"
done
