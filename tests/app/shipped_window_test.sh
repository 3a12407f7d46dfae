#!/usr/bin/env bash
# Starts the program as it ships, not a test's own entry, and checks what
# the desktop sees of its window. Run it under with-weston.sh and
# with-xvfb.sh, with the text scale in XFT_DPI:
#   shipped_window_test.sh path/to/md5tool
set -u
program=$1
work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; rm -rf "$work"' EXIT
failures=0
check() {
    if [ "$2" != "$3" ]; then
        echo "FAIL: $1: found \"$2\", expected \"$3\""
        failures=$((failures + 1))
    fi
}

# No icon theme unless a row makes one: an installed md5tool icon must not
# stand in for the built-in one.
export HOME=$work XDG_DATA_HOME=$work/data XDG_DATA_DIRS=$work/none

# Starts the program on X11 with the given environment; sets window to its
# window.
start_on_x11() {
    env "$@" QT_QPA_PLATFORM=xcb "$program" >>"$work/log" 2>&1 &
    pids+=($!)
    window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$!")
}
# Qt scales the pictures with the desktop, so only their number tells them.
icon_count() {
    xprop -id "$1" -len 100000000 _NET_WM_ICON | grep -c 'Icon ('
}

start_on_x11
check "size at Xft.dpi $XFT_DPI" "$(xdotool getwindowgeometry "$window" | sed -n 's/ *Geometry: //p')" \
      "$(((666 * XFT_DPI + 48) / 96))x$(((490 * XFT_DPI + 48) / 96))"
check "built-in icons: 48, 128 and 256 pixels" "$(icon_count "$window")" 3
# X11 desktops find the desktop entry by the window's class.
check "class" "$(xprop -id "$window" WM_CLASS)" 'WM_CLASS(STRING) = "md5tool", "md5tool"'

theme=$work/theme/icons/hicolor
mkdir -p "$theme/48x48/apps"
printf '[Icon Theme]\nName=Hicolor\nDirectories=48x48/apps\n[48x48/apps]\nSize=48\n' >"$theme/index.theme"
cp "$(dirname "$0")/../../resources/icons/hicolor/48x48/apps/md5tool.png" "$theme/48x48/apps"
start_on_x11 XDG_DATA_DIRS="$work/theme"
check "the theme's one icon" "$(icon_count "$window")" 1

# Wayland's app id names the desktop entry, whatever the program is called.
cp "$program" "$work/renamed"
WAYLAND_DEBUG=client QT_QPA_PLATFORM=wayland "$work/renamed" 2>"$work/wayland.log" &
pids+=($!)
for _ in $(seq 100); do
    grep -aq 'set_app_id(' "$work/wayland.log" && break
    sleep 0.2
done
check "app id" "$(grep -ao 'set_app_id("[^"]*")' "$work/wayland.log")" 'set_app_id("md5tool")'

[ "$failures" -eq 0 ]
