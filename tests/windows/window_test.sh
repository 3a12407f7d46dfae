#!/usr/bin/env bash
# md5tool.exe under Wine, on the X server that with-xvfb.sh started, driven
# as a user drives it: real keys and clicks from xdotool, a real drag of a
# file from an X11 program, and the digest read back from the clipboard after
# Ctrl+A, Ctrl+C in the result box. Then the window on a desktop at 150 %.
# Arguments: md5tool.exe, the drag source's C++ file, the Wine prefix.
set -euo pipefail
exe=$1
drag_source_cpp=$2
shift 2
. "$(dirname "$0")/wine-prefix.sh"

work=$(mktemp -d)
program=
finish() {
    [ -n "$program" ] && kill "$program" 2>/dev/null
    wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap finish EXIT
fail() {
    echo "window_test: $*" >&2
    exit 1
}

# As on a user's Windows, the program picks its platform itself.
wine reg delete 'HKCU\Environment' /v QT_QPA_PLATFORM /f >/dev/null 2>&1 || true

# The file manager's part, built for this machine's X server.
# shellcheck disable=SC2046
g++ -std=c++17 -fPIC -o "$work/drag_source" "$drag_source_cpp" $(pkg-config --cflags --libs Qt5Widgets)

# A path in a file URL: every byte but letters, digits and -._~/ as %XX.
percent_encoded() {
    local LC_ALL=C text=$1 encoded= i character
    for ((i = 0; i < ${#text}; i++)); do
        character=${text:i:1}
        case $character in
            [a-zA-Z0-9/._~-]) encoded+=$character ;;
            *) printf -v character '%%%02X' $(( $(printf '%d' "'$character") & 255 )); encoded+=$character ;;
        esac
    done
    echo "$encoded"
}

# Sets the desktop's scale as Windows keeps it, in dots per inch, starts the
# program and sets window_x, window_y (its client area's top left) and scale.
start() {
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    # As Windows does until the user signs in again, Wine 10 keeps the scale
    # that its session started with: the session ends before the program starts.
    wineserver -w
    wine "$exe" >/dev/null 2>&1 &
    program=$!
    window=$(timeout 60 xdotool search --sync --onlyvisible --name 'Tessarin - Quillmere' | head -n1) ||
        fail "no window at $1 dpi"
    sleep 1
    eval "$(xdotool getwindowgeometry --shell "$window")"
    # Where Wine draws the frame and title bar inside the X window, the frame
    # is as wide on every side; the window may be its client area alone.
    width_scaled=$(( $1 * 666 / 96 ))
    height_scaled=$(( $1 * 490 / 96 ))
    local border=$(( (WIDTH - width_scaled) / 2 ))
    [ "$border" -ge 0 ] && [ "$border" -le 20 ] || fail "at $1 dpi the window is ${WIDTH}x$HEIGHT, not $width_scaled wide"
    local caption=$(( HEIGHT - height_scaled - border ))
    [ "$caption" -ge 0 ] && [ "$caption" -le 80 ] ||
        fail "at $1 dpi the window is ${WIDTH}x$HEIGHT, not $height_scaled high with a title bar"
    window_x=$(( X + border ))
    window_y=$(( Y + caption ))
    scale=$1
}

stop() {
    kill "$program" 2>/dev/null
    wait "$program" 2>/dev/null || true
    program=
    wineserver -w
}

# Clicks the point x, y of the window as laid out at 100 %.
click() {
    xdotool mousemove $(( window_x + $1 * scale / 96 )) $(( window_y + $2 * scale / 96 )) click 1
    sleep 0.5
}

# What the result box shows, through the clipboard, which Wine hands to X11
# a moment after the copy: the first copied text other than $1.
result() {
    # With no window manager, the keys go where the pointer pressed last,
    # which after a drag is the drag source.
    xdotool windowfocus --sync "$window"
    click 320 400
    xdotool key ctrl+a ctrl+c
    local copied=
    for _ in $(seq 20); do
        copied=$(xclip -o -selection clipboard 2>/dev/null) && [ -n "$copied" ] && [ "$copied" != "${1:-}" ] && break
        sleep 0.25
    done
    echo "$copied"
}

# Each digest is read from a window of its own, so that the clipboard cannot
# still hold an earlier one. A file whose name is outside the Basic
# Multilingual Plane too.
start 96
file="$work/下载 𝄞.bin"
head -c 3000000 /dev/urandom >"$file"
expected=$(md5sum <"$file" | cut -d' ' -f1)
coproc source { "$work/drag_source" "text/uri-list=file://$(percent_encoded "$file")"; }
# Reads what the drag source tells until a line that starts with $1.
await() {
    local line
    while read -r -t 30 -u "${source[0]}" line; do
        [ "${line%% *}" = "$1" ] && told=$line && return 0
    done
    fail "the drag source never said $1"
}
await ready
read -r _ x y <<<"$told"
xdotool mousemove --sync "$x" "$y" mousedown 1
await dragging
# In steps, as a hand moves, onto the drop frame.
to_x=$(( window_x + 260 * scale / 96 ))
to_y=$(( window_y + 240 * scale / 96 ))
for step in 1 2 3 4 5 6 7 8; do
    xdotool mousemove $(( x + (to_x - x) * step / 8 )) $(( y + (to_y - y) * step / 8 )) sleep 0.05
done
await accepted
xdotool mouseup 1
await finished
click 605 240
digest=$(result)
[ "$digest" = "$expected" ] || fail "the dropped file gives $digest, md5sum $expected"
exec {source[1]}>&-
stop

start 96
click 260 80
xdotool type --delay 50 abc
click 606 90
digest=$(result "$digest")
[ "$digest" = 900150983cd24fb0d6963f7d28e17f72 ] || fail "\"abc\" gives $digest"
stop

start 144
stop
echo "window_test: a dropped file and \"abc\" at 100 %, and the window at 150 %, as expected"
