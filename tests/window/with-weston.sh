#!/bin/sh
# Runs a command against a Wayland compositor of its own, weston without a
# screen, and exits with its status.
set -u
. "$(dirname "$0")/display-server.sh"

# Weston 10 and 11 name a backend by its file, later ones by a short name.
case $(weston --version) in
    "weston "[0-9].* | "weston 1"[01].*) backend=headless-backend.so ;;
    *) backend=headless ;;
esac

# The socket goes into the run's own runtime folder (mktemp makes it 0700, as
# Wayland asks), so that runs side by side never collide.
export XDG_RUNTIME_DIR="$work"
weston --backend="$backend" --socket=wayland-test --width=1280 --height=1024 --idle-time=0 \
    >"$work/log" 2>&1 &
await_server -S "$work/wayland-test"

WAYLAND_DISPLAY=wayland-test "$@"
status=$?
exit "$status"
