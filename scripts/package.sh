#!/usr/bin/env bash
# Installs what is missing, builds the Release program and its Debian package:
# build/md5tool_<version>_<architecture>.deb and build/SHA256SUMS. The build
# is the run command's, in build/, or in MD5TOOL_BUILD_DIR where that is set.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
require_cmake 3.20

ensure_packages $RUN_PACKAGES
build=${MD5TOOL_BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target deb
echo "package: $(cd "$build" && echo md5tool_*.deb) and SHA256SUMS in $build/"
