#!/usr/bin/env bash
# The scripts' check of the cmake found against the version they need, with a
# cmake of the test's own that gives the version of each row; and the run
# command, which stops with that check's one line before it does anything.
#   cmake_version_test.sh scripts/deps.sh scripts/run.sh
set -u
. "$1"
run_command=$2
fake=$(mktemp -d)
trap 'rm -rf "$fake"' EXIT
fail=0
while read -r found needed status; do
    printf '#!/bin/sh\necho "cmake version %s"\n' "$found" >"$fake/cmake"
    chmod +x "$fake/cmake"
    message=$(PATH=$fake:$PATH require_cmake "$needed" 2>&1)
    got=$?
    expected_message=
    [ "$status" -eq 0 ] || expected_message="$(basename "$0"): needs CMake $needed or newer, and $fake/cmake is CMake $found"
    if [ "$got" -ne "$status" ] || [ "$message" != "$expected_message" ]; then
        echo "FAIL: CMake $found against $needed: status $got, '$message'"
        fail=1
    fi
done <<EOF
3.16.3 3.20 1
3.9.6 3.20 1
3.20.0 3.20 0
3.23.5 3.24 1
3.25.1 3.24 0
EOF

printf '#!/bin/sh\necho "cmake version 3.19.8"\n' >"$fake/cmake"
message=$(PATH=$fake:$PATH MD5TOOL_BUILD_DIR=$fake/build "$run_command" 2>&1)
if [ $? -ne 1 ] || [ "$message" != "run.sh: needs CMake 3.20 or newer, and $fake/cmake is CMake 3.19.8" ]; then
    echo "FAIL: the run command with CMake 3.19.8 said: $message"
    fail=1
fi
exit $fail
