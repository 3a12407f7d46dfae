#!/usr/bin/env bash
# Installs what is missing, builds the Release program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh

ensure_packages $RUN_PACKAGES
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build -j"$(nproc)"

has_display() {
    [ -n "${QT_QPA_PLATFORM:-}" ] && return 0
    [ -n "${WAYLAND_DISPLAY:-}" ] && return 0
    [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1
}
if ! has_display; then
    echo "md5tool: no display to show the window on (DISPLAY is unset or its X server cannot be reached); run this from a desktop session." >&2
    exit 1
fi
exec build/app/md5tool "$@"
