#!/usr/bin/env bash
# Plays a windowed velmor under an X server (run it inside xvfb-run) the way
# a player would, through xdotool.
#   xdrive.sh PLAN VELMOR [ARGS...]
# PLAN: gallery (aim low, hold the trigger and sweep), savanna (add lions
# and giraffes, group them), window (move the mouse 8,4 counts five times
# around each of: a resize, F11, Alt+Enter, a resize again). Every plan ends
# with Escape. Exits with velmor's status. The window plan runs openbox when
# it is there, so that fullscreen really happens.
set -u
plan=$1
shift
if [ "$plan" = window ] && command -v openbox >/dev/null; then
    openbox >/dev/null 2>&1 &
    sleep 1
fi
"$@" &
pid=$!
win=""
for _ in $(seq 100); do
    win=$(xdotool search --name "Velmor Engine" 2>/dev/null | head -1)
    [ -n "$win" ] && break
    sleep 0.1
done
if [ -z "$win" ]; then
    echo "xdrive: no window appeared" >&2
    kill "$pid"
    exit 3
fi
sleep 0.5
# The window may be made anew when it gets its renderer: ask again.
win=$(xdotool search --name "Velmor Engine" 2>/dev/null | tail -1)
xdotool windowfocus --sync "$win" 2>/dev/null
move() { # dx dy steps
    for _ in $(seq "$3"); do
        xdotool mousemove_relative -- "$1" "$2"
        sleep 0.02
    done
}
key() { # name, held for a moment
    xdotool keydown "$1"
    sleep 0.1
    xdotool keyup "$1"
}
case $plan in
gallery)
    move 20 20 9
    xdotool mousedown 1
    # Bunnies come in from the right along the lower band: sweep across it
    # while the trigger is held, so one of them is hit.
    for _ in $(seq 14); do
        move 0 40 5
        move 0 -40 5
    done
    xdotool mouseup 1
    ;;
savanna)
    key 2
    sleep 0.5
    key 1
    sleep 0.5
    key 6
    sleep 2
    key 5
    sleep 1
    ;;
window)
    size() { xdotool getwindowgeometry "$win" | sed -n 's/.*Geometry: //p'; }
    move 8 4 5
    xdotool windowsize "$win" 640 400
    sleep 0.5
    echo "resized $(size)"
    move 8 4 5
    key F11
    sleep 0.7
    echo "F11 $(size)"
    move 8 4 5
    xdotool keydown alt keydown Return
    sleep 0.1
    xdotool keyup Return keyup alt
    sleep 0.7
    echo "Alt+Enter $(size)"
    move 8 4 5
    ;;
esac
sleep 0.3
key Escape
wait "$pid"
