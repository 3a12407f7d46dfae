#!/usr/bin/env bash
# Installs what is missing, builds everything with the tests and runs them.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh

TEST_PACKAGES="xvfb xdotool binutils-mingw-w64-x86-64 desktop-file-utils"
ensure_packages $RUN_PACKAGES $TEST_PACKAGES

cmake -S . -B build-tests -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON >/dev/null
cmake --build build-tests -j"$(nproc)"
cd build-tests
ctest --output-on-failure
