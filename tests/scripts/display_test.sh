#!/usr/bin/env bash
# Checks the run script's display check against live and missing displays.
# Run it under with-weston.sh and with-xvfb.sh: the live ones are theirs.
#   display_test.sh scripts/display.sh
set -u
display_script=$1
live_x=$DISPLAY
live_wayland=$WAYLAND_DISPLAY

# Each row: whether there is a display, then QT_QPA_PLATFORM,
# XDG_SESSION_TYPE, DISPLAY and WAYLAND_DISPLAY, "-" for unset.
rows="
no  -              -       -          -
no  -              wayland -          stale
no  -              wayland -          /nowhere/wayland-0
no  -              -       -          $live_wayland
no  -              wayland :4711      stale
no  xcb            -       -          -
no  xcb            wayland -          $live_wayland
no  wayland        -       $live_x    -
no  xcb:nograb     -       -          -
no  ;xcb           -       -          -
yes -              -       $live_x    -
yes -              wayland -          $live_wayland
yes -              wayland -          $XDG_RUNTIME_DIR/$live_wayland
yes -              wayland $live_x    stale
yes wayland        -       -          $live_wayland
yes wayland;xcb    -       $live_x    stale
yes xcb:nograb     -       $live_x    -
yes offscreen      -       -          -
"

failures=0
while read -r expected platform session display wayland; do
    [ -n "$expected" ] || continue
    found=$(
        unset QT_QPA_PLATFORM XDG_SESSION_TYPE DISPLAY WAYLAND_DISPLAY
        [ "$platform" = - ] || export QT_QPA_PLATFORM="$platform"
        [ "$session" = - ] || export XDG_SESSION_TYPE="$session"
        [ "$display" = - ] || export DISPLAY="$display"
        [ "$wayland" = - ] || export WAYLAND_DISPLAY="$wayland"
        . "$display_script"
        has_display && echo yes || echo no
    )
    if [ "$found" != "$expected" ]; then
        echo "FAIL: display $found, expected $expected: QT_QPA_PLATFORM=$platform" \
             "XDG_SESSION_TYPE=$session DISPLAY=$display WAYLAND_DISPLAY=$wayland"
        failures=$((failures + 1))
    fi
done <<<"$rows"
[ "$failures" -eq 0 ]
