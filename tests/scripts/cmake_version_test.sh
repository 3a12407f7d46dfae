#!/usr/bin/env bash
# The scripts' check of the cmake found against the version they need, with a
# cmake of the test's own, and the run command stopping at it in one line.
#   cmake_version_test.sh scripts/deps.sh scripts/run.sh
. "$1"
fake=$(mktemp -d)
trap 'rm -rf "$fake"' EXIT
cmake_reports() {
    printf '#!/bin/sh\necho "cmake version %s"\n' "$1" >"$fake/cmake"
    chmod +x "$fake/cmake"
}
fail=0
while read -r found needed status; do
    cmake_reports "$found"
    PATH=$fake:$PATH require_cmake "$needed" 2>/dev/null
    [ $? -eq "$status" ] || { echo "FAIL: CMake $found against $needed"; fail=1; }
done <<EOF
3.9.6 3.20 1
3.19.8 3.20 1
3.20.0 3.20 0
3.25.1 3.24 0
EOF
cmake_reports 3.19.8
message=$(PATH=$fake:$PATH MD5TOOL_BUILD_DIR=$fake/build "$2" 2>&1)
[ $? -eq 1 ] && [ "$message" = "run.sh: needs CMake 3.20 or newer, and $fake/cmake is CMake 3.19.8" ] ||
    { echo "FAIL: the run command with CMake 3.19.8 said: $message"; fail=1; }
exit $fail
