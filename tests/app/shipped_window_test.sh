#!/usr/bin/env bash
# Starts the program as it ships, not a test's own entry, and checks what
# the desktop sees of its window. Run it under with-weston.sh and
# with-xvfb.sh, with the text scale in XFT_DPI, and with the icon's 48-pixel
# picture for a theme of the test's own:
#   shipped_window_test.sh path/to/md5tool path/to/md5tool.png
set -u
program=$1
icon=$2
work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; rm -rf "$work"' EXIT
# No icon theme but the one made below: an installed md5tool icon must not
# stand in for the built-in one.
export HOME=$work XDG_DATA_HOME=$work/data XDG_DATA_DIRS=$work/none
theme=$work/theme/icons/hicolor
mkdir -p "$theme/48x48/apps"
printf '[Icon Theme]\nName=Hicolor\nDirectories=48x48/apps\n[48x48/apps]\nSize=48\n' >"$theme/index.theme"
cp "$icon" "$theme/48x48/apps"

# Starts the program on X11 with the given environment; sets window to its
# window.
start_on_x11() {
    env "$@" QT_QPA_PLATFORM=xcb "$program" >>"$work/log" 2>&1 &
    pids+=($!)
    window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$!")
}
# Qt scales the icon's pictures with the desktop: only their number tells
# the built-in icon (48, 128 and 256 pixels) from the theme's.
icon_count() { xprop -id "$window" -len 100000000 _NET_WM_ICON | grep -c 'Icon ('; }

{
    start_on_x11
    xdotool getwindowgeometry "$window" | sed -n 's/ *Geometry: //p'
    icon_count
    # X11 desktops find the desktop entry by the window's class.
    xprop -id "$window" WM_CLASS
    start_on_x11 XDG_DATA_DIRS="$work/theme"
    icon_count
    # Wayland's app id names the desktop entry, whatever the program is called.
    cp "$program" "$work/renamed"
    WAYLAND_DEBUG=client QT_QPA_PLATFORM=wayland "$work/renamed" 2>"$work/wayland.log" &
    pids+=($!)
    timeout 20 sh -c "until grep -aq 'set_app_id(' '$work/wayland.log'; do sleep 0.2; done"
    grep -ao 'set_app_id("[^"]*")' "$work/wayland.log"
} >"$work/found"
diff -u - "$work/found" <<END
$(((666 * XFT_DPI + 48) / 96))x$(((490 * XFT_DPI + 48) / 96))
3
WM_CLASS(STRING) = "md5tool", "md5tool"
1
set_app_id("md5tool")
END
