#!/usr/bin/env bash
# Runs a command under an Xvfb of its own and exits with its status.
#   xserver.sh COMMAND [ARGS...]      (XSCREEN=WxHxD sets the screen, 1280x1024x24)
# Xvfb picks the display itself (-displayfd): it takes the first number whose
# sockets it can bind, so two servers started at once, or a server of another
# job on the same host, never share one. (xvfb-run -a guesses from lock files
# in /tmp and can hand a game a display it cannot open.)
set -u
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
Xvfb -displayfd 3 -screen 0 "${XSCREEN:-1280x1024x24}" -nolisten tcp 3>"$dir/display" 2>"$dir/log" &
xpid=$!
for _ in $(seq 200); do
    [ -s "$dir/display" ] && break
    if ! kill -0 "$xpid" 2>/dev/null; then
        echo "xserver: Xvfb did not start:" >&2
        cat "$dir/log" >&2
        exit 4
    fi
    sleep 0.05
done
if [ ! -s "$dir/display" ]; then
    echo "xserver: Xvfb gave no display in 10 s" >&2
    kill "$xpid"
    exit 4
fi
export DISPLAY=":$(head -1 "$dir/display")"
"$@"
status=$?
kill "$xpid" 2>/dev/null
wait "$xpid" 2>/dev/null
exit $status
