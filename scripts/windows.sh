#!/usr/bin/env bash
# The Windows build: installs what it needs from Debian, builds a static Qt
# once into a cache (scripts/windows-qt.sh), then md5tool.exe, the zip, the
# installer and the file benchmark into build-windows/. With "test", it then
# runs the Windows test suite under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
# It configures with cmake --fresh (3.24).
require_cmake 3.24

started=$SECONDS
say() { echo "windows: $1 ($((SECONDS - started)) s)"; }

packages=$WINDOWS_PACKAGES
[ "${1:-}" != test ] || packages+=" $WINDOWS_TEST_PACKAGES"
ensure_packages $packages
say "packages"
qt=$(scripts/windows-qt.sh)

build=build-windows
# Afresh each time, so that a Qt built anew, say for a new point release, is
# the one found rather than the one an earlier run noted.
cmake --fresh -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
      -DCMAKE_PREFIX_PATH="$qt" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DBUILD_BENCHMARKS=ON >/dev/null
cmake --build "$build" -j"$(nproc)"
say "built $build/app/md5tool.exe, $(cd "$build" && echo md5tool-*.zip md5tool-*-setup.exe)"

if [ "${1:-}" = test ]; then
    ctest --test-dir "$build" --output-on-failure
    say "tests"
fi
