#!/usr/bin/env bash
# md5tool.exe under Wine, driven as a user drives it (wine-window.sh), with a
# real drag of a file from an X11 program. Then the window on a desktop at
# 150 %.
# Arguments: md5tool.exe, the drag source's C++ file, the Wine prefix.
set -euo pipefail
exe=$1
drag_source_cpp=$2
shift 2
. "$(dirname "$0")/wine-window.sh"

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

# Each digest is read from a window of its own, so that the clipboard cannot
# still hold an earlier one. A file whose name is outside the Basic
# Multilingual Plane too.
start 96
file="$work/下载 𝄞.bin"
head -c 3000000 /dev/urandom >"$file"
expected=$(md5sum <"$file" | cut -d' ' -f1)
coproc source { exec "$work/drag_source" "text/uri-list=file://$(percent_encoded "$file")"; }
# Reads what the drag source tells until a line that starts with $1, for
# at most $2 seconds between lines, or 30; fails the test unless $2 is given.
await() {
    local line
    while read -r -t "${2:-30}" -u "${source[0]}" line; do
        [ "${line%% *}" = "$1" ] && told=$line && return 0
    done
    [ -n "${2:-}" ] && return 1
    fail "the drag source never said $1"
}
await ready
read -r _ x y <<<"$told"
# A window that Wine maps or raises late may cover the source and take the
# press: then the source is raised and pressed again.
source_window=$(timeout 30 xdotool search --sync --onlyvisible --pid "$source_PID" | head -n1) ||
    fail "the drag source shows no window"
for attempt in 1 2 3; do
    xdotool windowraise "$source_window" mousemove --sync "$x" "$y" mousedown 1
    await dragging 10 && break
    xdotool mouseup 1
    [ "$attempt" -lt 3 ] || fail "the drag source never said dragging"
done
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
digest=$(text_digest abc "$digest")
[ "$digest" = 900150983cd24fb0d6963f7d28e17f72 ] || fail "\"abc\" gives $digest"
stop

start 144
stop
echo "window_test: a dropped file and \"abc\" at 100 %, and the window at 150 %, as expected"
