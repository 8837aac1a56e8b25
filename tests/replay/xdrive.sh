#!/usr/bin/env bash
# Plays a windowed velmor under an X server (run it under xserver.sh) the way
# a player would, through xdotool; exits with velmor's status.
#   xdrive.sh PLAN VELMOR [ARGS...]
# PLAN: savanna (add lions and giraffes, group and ungroup them, Escape);
# window (move the mouse 8,4 counts five times around each of a resize, F11
# and Alt+Enter, then wait for --frames); tap (three clicks of a few
# milliseconds each, Escape); pointer (move the pointer to 3,3 and say where
# it is, Escape); fit (say where the window and its frame are, Escape).
# window and fit run under openbox when there is one, unless WM=none.
set -u
plan=$1
shift
if [ "$plan" != savanna ] && [ "$plan" != tap ] && [ "${WM:-}" != none ] &&
    command -v openbox >/dev/null; then
    openbox >/dev/null 2>&1 &
    sleep 1
fi
# The game's frame log tells when it is presenting frames (its window then
# takes input); a click sent before that is lost.
if [ -z "${VELMOR_FRAME_LOG:-}" ]; then
    VELMOR_FRAME_LOG=$(mktemp)
    trap 'rm -f "$VELMOR_FRAME_LOG"' EXIT
fi
export VELMOR_FRAME_LOG
"$@" &
pid=$!
# The window may be made anew when it gets its renderer: ask each time.
win() { xdotool search --name "Velmor Engine" 2>/dev/null | tail -1; }
appeared() {
    for _ in $(seq 100); do
        [ -n "$(win)" ] && return 0
        sleep 0.1
    done
    return 1
}
if ! appeared; then
    echo "xdrive: no window appeared" >&2
    kill "$pid"
    exit 3
fi
# With --dump, wait for the game's first frames (slow builds start slowly).
dump=""
prev=""
for a in "$@"; do
    [ "$prev" = --dump ] && dump=$a
    prev=$a
done
if [ -n "$dump" ]; then
    for _ in $(seq 300); do
        [ -f "$dump" ] && [ "$(wc -l <"$dump")" -ge 20 ] && break
        sleep 0.1
    done
fi
for _ in $(seq 300); do
    [ "$(grep -vc '^#' "$VELMOR_FRAME_LOG" 2>/dev/null)" -ge 10 ] && break
    sleep 0.1
done
sleep 0.5
appeared
xdotool windowfocus --sync "$(win)" 2>/dev/null
move() { # dx dy steps
    for _ in $(seq "$3"); do
        xdotool mousemove_relative -- "$1" "$2"
        sleep 0.02
    done
}
key() { # name, held long enough for a slow frame to see it
    xdotool keydown "$1"
    sleep 0.3
    xdotool keyup "$1"
}
case $plan in
savanna)
    key 2
    sleep 0.5
    key 1
    sleep 0.5
    key 6
    sleep 2
    key 5
    sleep 1
    key Escape
    ;;
window)
    size() {
        xdotool getwindowgeometry "$(win)" |
            awk '/Position:/ { p = $2 } /Geometry:/ { g = $2 } END { print g " at " p }'
    }
    move 8 4 5
    xdotool windowsize "$(win)" 640 400
    sleep 0.5
    echo "resized $(size)"
    move 8 4 5
    key F11
    sleep 0.7
    echo "F11 $(size)"
    move 8 4 5
    xdotool keydown alt keydown Return
    sleep 0.3
    xdotool keyup Return keyup alt
    sleep 0.7
    echo "Alt+Enter $(size)"
    move 8 4 5
    ;;
tap)
    for _ in 1 2 3; do
        xdotool click 1
        sleep 0.3
    done
    key Escape
    ;;
pointer)
    xdotool mousemove 3 3
    sleep 0.3
    echo "pointer $(xdotool getmouselocation)"
    key Escape
    ;;
fit)
    sleep 1
    xwininfo -id "$(win)" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
        /Width:/ { w = $NF } /Height:/ { h = $NF } END { print "at " x " " y; print "size " w " " h }'
    xprop -id "$(win)" _NET_FRAME_EXTENTS | sed -n 's/.*= \(.*\)/frame \1/p' | tr -d ,
    key Escape
    ;;
esac
wait "$pid"
