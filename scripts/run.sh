#!/usr/bin/env bash
# Installs what is missing, builds the Release program and starts it. The
# build goes to build/, or to MD5TOOL_BUILD_DIR where that is set, as the
# test of this command does to leave the user's build/ alone.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
# The project's own minimum, which its CMakeLists.txt names too.
require_cmake 3.20
. scripts/display.sh

ensure_packages $RUN_PACKAGES
# Told before the build, which takes a while the first time.
if ! has_display; then
    echo "md5tool: no display to show the window on (Qt tries $(qt_platforms): no Wayland compositor at WAYLAND_DISPLAY or X server at DISPLAY answers); run this from a desktop session." >&2
    exit 1
fi
build=${MD5TOOL_BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
exec "$build/app/md5tool" "$@"
