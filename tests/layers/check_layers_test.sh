#!/usr/bin/env bash
# The layering check must refuse each kind of wrong include (an upward one,
# also written relative to the file; a third-party header; a cycle), planted
# in a copy of the tree, for its own reason, and pass on the copy as it is.
#   check_layers_test.sh CHECK_SCRIPT SOURCE_DIR
set -uo pipefail
check=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for d in base platform diag sound engine entities levels app game; do
    [ -d "$src/$d" ] && cp -r "$src/$d" "$work/"
done

bash "$check" "$work" >/dev/null || { echo "FAIL: the clean tree is refused"; exit 1; }

failures=0
expect_refused() {  # file, line to add, what the refusal must say
    local file=$1 line=$2 says=$3
    cp "$work/$file" "$work/$file.orig"
    printf '%s\n' "$line" >>"$work/$file"
    local out
    if out=$(bash "$check" "$work") || ! grep -q "$says" <<<"$out"; then
        echo "FAIL: not refused as '$says': $line in $file"
        failures=$((failures + 1))
    fi
    mv "$work/$file.orig" "$work/$file"
}
up='may not see'
expect_refused engine/engine.cpp '#include "game/sprite_level.h"' "$up"
expect_refused engine/engine.cpp '#include "../game/sprite_level.h"' "$up"
expect_refused sound/sound.cpp '#include "engine/engine.h"' "$up"
expect_refused platform/core/window.cpp '#include "diag/trace.h"' "$up"
expect_refused platform/soft/blend.cpp '#include "platform/core/d3d9.h"' "$up"
expect_refused engine/renderer.cpp '#include <SDL2/SDL.h>' 'third-party'
expect_refused engine/engine.cpp '#include "platform/sdl/sdl_driver.h"' "$up"
expect_refused platform/core/platform.cpp '#include "platform/headless/headless_driver.h"' "$up"
expect_refused platform/sdl/sdl_video.cpp '#include "engine/engine.h"' "$up"
expect_refused app/run.cpp '#include "platform/testing/test_hooks.h"' "$up"
# The engine's program knows no game: a game hands it its table.
expect_refused app/run.cpp '#include "game/velmor_levels.h"' "$up"
# Same layer, so only as a cycle: player.cpp includes bullet.h.
expect_refused game/bullet.cpp '#include "game/player.h"' 'include cycle among:.*game/'
[ $failures = 0 ] && echo "check_layers: every planted include was refused"
exit $failures
