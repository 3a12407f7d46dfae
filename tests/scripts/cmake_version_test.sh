#!/usr/bin/env bash
# The run command with a cmake of the test's own that is too old stops with
# one line that says so, before anything else; 3.9.6 is older than 3.20 by
# numbers, not by letters. The suite's own runs of the commands see a new one.
#   cmake_version_test.sh scripts/run.sh
fake=$(mktemp -d)
trap 'rm -rf "$fake"' EXIT
for found in 3.9.6 3.19.8; do
    printf '#!/bin/sh\necho "cmake version %s"\n' "$found" >"$fake/cmake"
    chmod +x "$fake/cmake"
    message=$(PATH=$fake:$PATH MD5TOOL_BUILD_DIR=$fake/build "$1" 2>&1)
    [ $? -eq 1 ] && [ "$message" = "run.sh: needs CMake 3.20 or newer, and $fake/cmake is CMake $found" ] ||
        { echo "FAIL: the run command with CMake $found said: $message"; exit 1; }
done
