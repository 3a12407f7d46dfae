#!/usr/bin/env bash
# Installs what is missing, builds the Release program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
. scripts/display.sh

ensure_packages $RUN_PACKAGES
# Told before the build, which takes a while the first time.
if ! has_display; then
    echo "md5tool: no display to show the window on (Qt tries $(qt_platforms): no Wayland compositor at WAYLAND_DISPLAY or X server at DISPLAY answers); run this from a desktop session." >&2
    exit 1
fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build -j"$(nproc)"
exec build/app/md5tool "$@"
