# Sourced by the tests that drive md5tool.exe ($exe) under Wine, on the X
# server that with-xvfb.sh started, as a user does: real keys and clicks from
# xdotool, and the digest read back from the clipboard after Ctrl+A, Ctrl+C
# in the result box. Takes the Wine prefix as first argument; $work is a
# folder of the test's own, removed at its end.
. "$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh"

work=$(mktemp -d)
program=
finish() {
    [ -n "$program" ] && kill "$program" 2>/dev/null
    wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap finish EXIT
fail() {
    echo "$(basename "$0" .sh): $*" >&2
    exit 1
}

# As on a user's Windows, the program picks its platform itself.
wine reg delete 'HKCU\Environment' /v QT_QPA_PLATFORM /f >/dev/null 2>&1 || true

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
    # Where Wine draws the frame and title bar inside the X window, the frame
    # is as wide on every side; the window may be its client area alone. Wine
    # may map the window before it gives it its size: a loaded machine can
    # take a while.
    width_scaled=$(( $1 * 666 / 96 ))
    height_scaled=$(( $1 * 490 / 96 ))
    for _ in $(seq 120); do
        eval "$(xdotool getwindowgeometry --shell "$window")"
        [ "$WIDTH" -ge "$width_scaled" ] && [ "$HEIGHT" -ge "$height_scaled" ] && break
        sleep 0.25
    done
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
# a moment after the copy, or longer on a loaded machine: the first copied
# text other than $1.
result() {
    # With no window manager, the keys go where the pointer pressed last,
    # which after a drag is the drag source.
    xdotool windowfocus --sync "$window"
    click 320 400
    xdotool key ctrl+a ctrl+c
    local copied=
    for _ in $(seq 120); do
        copied=$(xclip -o -selection clipboard 2>/dev/null) && [ -n "$copied" ] && [ "$copied" != "${1:-}" ] && break
        sleep 0.25
    done
    echo "$copied"
}

# The digest of the text $1 typed into the upper box, as the result box shows
# it; $2 is what the clipboard may still hold.
text_digest() {
    click 260 80
    xdotool type --delay 50 "$1"
    click 606 90
    result "${2:-}"
}
