#!/usr/bin/env bash
# Fails on an include that points up the layers, or on a third-party header
# outside a driver folder. Layers, top to bottom:
#   app > levels > game > entities > engine > sound > diag > platform > base
# where platform is platform/core, platform/soft and platform/driver.h. A
# driver folder (platform/<name>/ other than core, soft and testing) may use
# platform and base and is known only to app's set-up; platform/testing is
# for tests and benchmarks alone. tests/, bench/ and tools/ are not checked.
#   scripts/check_layers.sh [SOURCE_DIR]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

dirs=()
for d in base platform diag sound engine entities game levels app; do
    [ -d "$d" ] && dirs+=("$d")
done
find "${dirs[@]}" -type f \( -name '*.cpp' -o -name '*.h' \) | sort | xargs awk '
function rank(p,    top) {
    if (p ~ /^platform\/(core|soft)\// || p == "platform/driver.h") return 1
    if (p ~ /^platform\/testing\//) return 90
    if (p ~ /^platform\/[^\/]+\//) return 80
    top = p; sub(/\/.*/, "", top)
    return (top in layer) ? layer[top] : -1
}
BEGIN {
    split("base platform diag sound engine entities game levels app", names, " ")
    for (i in names) layer[names[i]] = i - 1
    status = 0
}
/^[ \t]*#[ \t]*include/ {
    from = rank(FILENAME)
    if (from < 0) next
    inc = $0
    sub(/^[ \t]*#[ \t]*include[ \t]*/, "", inc)
    sub(/[ \t].*/, "", inc)
    if (inc ~ /^"/) {
        path = inc; gsub(/"/, "", path)
        to = rank(path)
        if (to < 0) next
        ok = 1
        if (to == 80) {
            drv = path; sub(/^platform\//, "", drv); sub(/\/.*/, "", drv)
            if (index(FILENAME, "platform/" drv "/") != 1 && FILENAME !~ /^app\/platform_setup\./) ok = 0
        } else if (to == 90) {
            if (FILENAME !~ /^platform\/testing\//) ok = 0
        } else if (from == 80 || from == 90) {
            if (to > 1) ok = 0
        } else if (to > from) ok = 0
        if (!ok) {
            printf "%s:%d: includes %s, which it may not see (layers point down)\n", FILENAME, FNR, path
            status = 1
        }
    } else if (from != 80 && inc !~ /^<[a-z_0-9]+>$/ &&
               inc !~ /^<(unistd|signal|fcntl|dlfcn|pthread|immintrin|emmintrin|tmmintrin|smmintrin|x86intrin|cpuid)\.h>$/ &&
               inc !~ /^<sys\/[a-z_]+\.h>$/) {
        printf "%s:%d: includes third-party %s outside a driver folder\n", FILENAME, FNR, inc
        status = 1
    }
}
END {
    if (status == 0) print "layers: every include points down"
    exit status
}'
