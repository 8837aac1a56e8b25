#!/usr/bin/env bash
# Fails on an include that points up the layers, on a third-party header
# outside a driver folder, or on an include cycle: a file of one unit (a
# header and its .cpp) including another unit that, through its own files,
# includes the first again. Relative includes are resolved first. Layers, top
# to bottom:
#   game > app > levels > entities > engine > sound > diag > platform > soft > base
# where platform is platform/core and platform/driver.h, and soft is the
# rasteriser in platform/soft, which sees only base. A driver folder
# (platform/<name>/ other than core, soft and testing) may use
# platform and base and is known only to app's set-up; platform/testing is
# for tests and benchmarks alone. tests/, bench/ and tools/ are not checked.
#   scripts/check_layers.sh [SOURCE_DIR]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

dirs=()
for d in base platform diag sound engine entities levels app game; do
    [ -d "$d" ] && dirs+=("$d")
done
edges=$(mktemp)
trap 'rm -f "$edges"' EXIT
status=0
find "${dirs[@]}" -type f \( -name '*.cpp' -o -name '*.h' \) | sort | xargs awk -v edges="$edges" '
function rank(p,    top) {
    if (p ~ /^platform\/core\// || p == "platform/driver.h") return 1
    if (p ~ /^platform\/soft\//) return 0.5
    if (p ~ /^platform\/testing\//) return 90
    if (p ~ /^platform\/[^\/]+\//) return 80
    top = p; sub(/\/.*/, "", top)
    return (top in layer) ? layer[top] : -1
}
# Whether a file can be read.
function exists(p,    line, r) {
    r = (getline line < p)
    close(p)
    return r >= 0
}
# The tree path a quoted include names, as the compiler finds it: one that
# starts with ./ or ../ from the folder of the including file, any other
# beside that file if it is there, else from the root of the tree. Empty when
# it leaves the tree.
function resolve(file, inc,    dir, p, n, part, out, m, i) {
    dir = file
    if (!sub(/\/[^\/]*$/, "", dir)) dir = "."
    if (inc ~ /^\.\.?\//) p = dir "/" inc
    else if (exists(dir "/" inc)) p = dir "/" inc
    else return inc
    n = split(p, part, "/")
    m = 0
    for (i = 1; i <= n; i++) {
        if (part[i] == "." || part[i] == "") continue
        if (part[i] == "..") {
            if (m == 0) return ""
            m--
        } else out[++m] = part[i]
    }
    p = m ? out[1] : ""
    for (i = 2; i <= m; i++) p = p "/" out[i]
    return p
}
BEGIN {
    split("base platform diag sound engine entities levels app game", names, " ")
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
        path = resolve(FILENAME, path)
        to = rank(path)
        if (to < 0) next
        unitFrom = FILENAME; sub(/\.(cpp|h)$/, "", unitFrom)
        unitTo = path; sub(/\.(cpp|h)$/, "", unitTo)
        # An entity registers itself with the engine that drives it: the one
        # pair of units that need each other, and not counted as a cycle.
        if (unitFrom != unitTo && !(unitFrom == "engine/base_entity" && unitTo == "engine/engine"))
            print unitFrom, unitTo > edges
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
END { exit status }' || status=1
# tsort names the units of each cycle it finds, one a line after a header.
if ! tsort "$edges" 2>&1 >/dev/null | awk '
    /input contains a loop/ { if (l != "") print l; l = "include cycle among:"; next }
    { sub(/^tsort: /, ""); l = l " " $0 }
    END { if (l != "") print l }'; then
    status=1
fi
[ $status = 0 ] && echo "layers: every include points down, and none goes round"
exit $status
