#!/usr/bin/env bash
# Plays a windowed velmor under an X server (run it inside xvfb-run) the way
# a player would, through xdotool.
#   xdrive.sh PLAN VELMOR [ARGS...]
# PLAN: gallery (aim low, hold the trigger and sweep), savanna (add lions
# and giraffes, group them). Every plan ends with Escape. Exits with
# velmor's status.
set -u
plan=$1
shift
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
xdotool windowfocus --sync "$win" 2>/dev/null
sleep 0.5
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
esac
sleep 0.3
key Escape
wait "$pid"
