#!/bin/sh
# Runs a command against an X server of its own and exits with its status.
# With XFT_DPI set, the server carries that text scale, as a desktop's
# settings put it there (Xft.dpi).
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
# -noreset keeps the resources once xrdb, their only client yet, is gone.
Xvfb -displayfd 3 -noreset -screen 0 1920x1440x24 -nolisten tcp 3>"$work/display" 2>"$work/log" &
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

DISPLAY=":$(cat "$work/display")"
export DISPLAY
if [ -n "${XFT_DPI:-}" ] && ! echo "Xft.dpi: $XFT_DPI" | xrdb -merge; then
    echo "with-xvfb: cannot set Xft.dpi (xrdb is in Debian package x11-xserver-utils)" >&2
    exit 1
fi
"$@"
status=$?
exit "$status"
