#!/usr/bin/env bash
# The engine as a game maker gets it: installs this build's dev component
# into a temporary prefix, then
#   (a) compiles every installed public header on its own, with the flags
#       pkg-config gives for velmor.pc;
#   (b) builds and runs the hello example with plain c++ and pkg-config;
#   (c) configures, builds (warnings are errors) and tests every installed
#       example with CMake and find_package(Velmor).
# Usage: examples_test.sh BUILD_DIR
set -euo pipefail

build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "examples_test: $*" >&2
    exit 1
}
# Runs a command quietly; on failure shows its output and fails with $1.
quiet() {
    local what=$1
    shift
    "$@" >"$work/out.log" 2>&1 || {
        cat "$work/out.log" >&2
        fail "$what"
    }
}

prefix=$work/prefix
quiet "installing the dev component of $build failed" \
    cmake --install "$build" --prefix "$prefix" --component dev
pc=$(find "$prefix" -name velmor.pc)
[[ -n $pc ]] || fail "the dev component installs no velmor.pc"
export PKG_CONFIG_PATH=${pc%/*}
pkg-config --exists velmor || fail "pkg-config cannot read $pc"
read -ra cflags <<<"$(pkg-config --cflags velmor)"
read -ra libs <<<"$(pkg-config --libs velmor)"

# (a) Each header alone: a header that needs another included first fails.
include=$prefix/include/velmor
bad=()
while read -r header; do
    printf '#include "%s"\n' "$header" |
        c++ -x c++ "${cflags[@]}" -Wall -Wextra -Werror -fsyntax-only - 2>"$work/header.log" || {
        bad+=("$header")
        head -n 5 "$work/header.log" >&2
    }
done < <(cd "$include" && find . -name '*.h' | sed 's|^\./||' | sort)
[[ -f $include/app/run.h ]] || fail "no public headers in $include"
((${#bad[@]} == 0)) || fail "these installed headers do not compile on their own: ${bad[*]}"

# (b) hello with c++ and pkg-config alone: its content, then the game.
examples=$(find "$prefix" -type d -path '*/doc/velmor-dev/examples')
[[ -d $examples/hello ]] || fail "the dev component installs no examples"
plain=$work/plain
mkdir -p "$plain/content"
cp "$(pkg-config --variable=contentdir velmor)"/*.bmp "$plain/content/"
quiet "make_content.cpp of hello does not build with pkg-config's flags" \
    c++ -Wall -Wextra -Werror -o "$plain/make_content" "$examples/hello/make_content.cpp" \
    "${cflags[@]}" "${libs[@]}"
quiet "hello.cpp does not build with pkg-config's flags" \
    c++ -Wall -Wextra -Werror -o "$plain/hello" "$examples/hello/hello.cpp" \
    -DHELLO_CONTENT="\"$plain/content\"" "${cflags[@]}" "${libs[@]}"
quiet "hello's content generator failed" "$plain/make_content" "$plain/content"
quiet "hello built with pkg-config does not run" "$plain/hello" --headless --frames 12 \
    --input "$examples/hello/right.input" --dump "$plain/dump.jsonl" --dump-every 12
grep -q '"class":"BaseSprite","x":520' "$plain/dump.jsonl" ||
    fail "hello built with pkg-config: the smiley did not move ($(cat "$plain/dump.jsonl"))"

# (c) Every example as its README builds it, tests included.
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
for dir in "$examples"/*/; do
    name=$(basename "$dir")
    out=$work/build-$name
    quiet "$name: configuring against $prefix failed" \
        cmake -S "$dir" -B "$out" "${generator[@]}" -DCMAKE_PREFIX_PATH="$prefix" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS=-Werror
    quiet "$name: the build failed (warnings are errors)" cmake --build "$out"
    quiet "$name: its tests failed" ctest --test-dir "$out" --output-on-failure
    echo "examples_test: $name built and passed its tests"
done
