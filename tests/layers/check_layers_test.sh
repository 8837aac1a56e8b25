#!/usr/bin/env bash
# The layering check must fail on each kind of wrong include (and on an
# include cycle), planted in a copy of the tree, and pass on the copy as it is.
#   check_layers_test.sh CHECK_SCRIPT SOURCE_DIR
set -uo pipefail
check=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for d in base platform diag sound engine entities game levels app; do
    [ -d "$src/$d" ] && cp -r "$src/$d" "$work/"
done

bash "$check" "$work" >/dev/null || { echo "FAIL: the clean tree is refused"; exit 1; }

failures=0
expect_refused() {  # file, line to add, what it shows
    local file=$1 line=$2
    cp "$work/$file" "$work/$file.orig"
    printf '%s\n' "$line" >>"$work/$file"
    if bash "$check" "$work" >/dev/null; then
        echo "FAIL: not refused: $line in $file"
        failures=$((failures + 1))
    fi
    mv "$work/$file.orig" "$work/$file"
}
expect_refused engine/engine.cpp '#include "levels/sprite_level.h"'
expect_refused sound/sound.cpp '#include "engine/engine.h"'
expect_refused platform/core/window.cpp '#include "diag/trace.h"'
expect_refused engine/renderer.cpp '#include <SDL2/SDL.h>'
expect_refused engine/engine.cpp '#include "platform/sdl/sdl_driver.h"'
expect_refused platform/core/platform.cpp '#include "platform/headless/headless_driver.h"'
expect_refused platform/sdl/sdl_video.cpp '#include "engine/engine.h"'
expect_refused app/run.cpp '#include "platform/testing/test_hooks.h"'
expect_refused game/bullet.cpp '#include "game/player.h"'  # a cycle: player.cpp includes bullet.h
[ $failures = 0 ] && echo "check_layers: every planted include was refused"
exit $failures
