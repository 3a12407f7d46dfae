#!/bin/sh
# Runs a command against a Wayland compositor of its own, weston without a
# screen, and exits with its status.
set -u

if ! command -v weston >/dev/null 2>&1; then
    echo "with-weston: weston is not installed (Debian package weston)" >&2
    exit 1
fi

# The socket goes into a runtime folder of the run's own (mktemp makes it
# 0700, as Wayland asks), so that runs side by side never collide.
work=$(mktemp -d)
weston=
finish() {
    [ -n "$weston" ] && kill "$weston" 2>/dev/null && wait "$weston" 2>/dev/null
    rm -rf "$work"
}
trap finish EXIT
trap 'exit 1' INT TERM

# Weston 10 and 11 name a backend by its file, later ones by a short name.
case $(weston --version) in
    "weston "[0-9].* | "weston 1"[01].*) backend=headless-backend.so ;;
    *) backend=headless ;;
esac

export XDG_RUNTIME_DIR="$work"
weston --backend="$backend" --socket=wayland-test --width=1280 --height=1024 --idle-time=0 \
    >"$work/log" 2>&1 &
weston=$!
tries=0
while [ ! -S "$work/wayland-test" ]; do
    if ! kill -0 "$weston" 2>/dev/null || [ "$tries" -ge 300 ]; then
        echo "with-weston: weston did not start:" >&2
        cat "$work/log" >&2
        exit 1
    fi
    tries=$((tries + 1))
    sleep 0.1
done

WAYLAND_DISPLAY=wayland-test "$@"
status=$?
exit "$status"
