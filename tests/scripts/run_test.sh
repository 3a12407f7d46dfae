#!/bin/sh
# Checks the run command the way a user meets it: without a display it says
# so in one line and exits with 1 before building; on an X server it builds
# the program and shows its window, which a window manager's close ends. It
# builds into BUILD_DIR, and the checkout's own build/, the user's, is left as
# it was, or absent. Run it under with-xvfb.sh.
#   run_test.sh scripts/run.sh WM_CLOSE BUILD_DIR
set -u
run_script=$1
wm_close=$2
export MD5TOOL_BUILD_DIR="$3"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
log=$work/log
user_build=$(dirname "$run_script")/../build
touch "$work/start"
had_user_build=$([ -e "$user_build" ] && echo yes)

output=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_SESSION_TYPE "$run_script" 2>&1)
status=$?
if [ "$status" -ne 1 ] || [ "$(echo "$output" | grep -c '^md5tool: no display')" -ne 1 ]; then
    echo "FAIL: without a display: status $status, output:"
    echo "$output"
    exit 1
fi

"$run_script" >"$log" 2>&1 &
program=$!
window=$(timeout 600 xdotool search --sync --onlyvisible --pid "$program" 2>/dev/null)
if [ -z "$window" ]; then
    kill "$program" 2>/dev/null
    echo "FAIL: with a display, no window appeared; the run command said:"
    cat "$log"
    exit 1
fi
"$wm_close" "$(echo "$window" | head -n 1)"
wait "$program"
status=$?
if [ "$status" -ne 0 ]; then
    echo "FAIL: closed by the window manager, the program exited with $status; it said:"
    cat "$log"
    exit 1
fi

if [ -n "$had_user_build" ]; then
    changed=$(find "$user_build" -newer "$work/start" | head -n 5)
else
    changed=$(ls -d "$user_build" 2>/dev/null)
fi
if [ -n "$changed" ]; then
    echo "FAIL: the run command changed the checkout's build/:"
    echo "$changed"
    exit 1
fi
