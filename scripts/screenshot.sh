#!/usr/bin/env bash
# Makes docs/window.png, the README's picture: the real program, built as the
# run command builds it, on an X server of its own at 100 %, with a text
# typed and digested.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh

ensure_packages $RUN_PACKAGES xvfb xauth xdotool x11-xserver-utils imagemagick
build=${MD5TOOL_BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target md5tool

# Inside the X server: the window, found by its title, gets the keys and
# clicks at the text box and the text button (their places at 100 %), and
# is photographed once the digest has been drawn.
xvfb-run -a -s "-screen 0 800x600x24 -dpi 96" bash -euo pipefail -c '
    echo "Xft.dpi: 96" | xrdb -merge
    "$1" &
    program=$!
    trap "kill $program" EXIT
    window=$(timeout 30 xdotool search --sync --onlyvisible --name "Tessarin - Quillmere" | head -n1)
    xdotool windowmove --sync "$window" 0 0
    xdotool mousemove --window "$window" 260 80 click 1 type --delay 20 "abc"
    before=$(import -window "$window" png:- | md5sum)
    xdotool mousemove --window "$window" 606 90 click 1
    for _ in $(seq 100); do
        [ "$(import -window "$window" png:- | md5sum)" != "$before" ] && break
        sleep 0.1
    done
    import -window "$window" -strip "$2"' _ "$build/app/md5tool" docs/window.png
echo "screenshot: docs/window.png"
