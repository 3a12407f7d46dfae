#!/bin/sh
# Runs a command against an X server of its own and exits with its status.
set -u

if ! command -v Xvfb >/dev/null 2>&1; then
    echo "with-xvfb: Xvfb is not installed (Debian package xvfb)" >&2
    exit 1
fi

work=$(mktemp -d)
xvfb=
finish() {
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap finish EXIT
trap 'exit 1' INT TERM

# The server picks a free display number itself and writes it once it takes
# connections, so that runs side by side never collide.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/log" &
xvfb=$!
tries=0
while [ ! -s "$work/display" ]; do
    if ! kill -0 "$xvfb" 2>/dev/null || [ "$tries" -ge 300 ]; then
        echo "with-xvfb: Xvfb did not start:" >&2
        cat "$work/log" >&2
        exit 1
    fi
    tries=$((tries + 1))
    sleep 0.1
done

DISPLAY=":$(cat "$work/display")" "$@"
status=$?
exit "$status"
