#!/usr/bin/env bash
# Checks the test command's count on CTest's report of a project made here,
# with a test for each way a test ends, and that a failing suite neither stops
# the next one nor lets the closing line's status be 0.
#   count_results_test.sh scripts/count-results.sh
set -u
counting=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

# The skipped tests come just before the failed fixture's, so that a skip
# carried over from one test to the next shows.
mkdir failing passing
cat >failing/CMakeLists.txt <<'CMAKE'
cmake_minimum_required(VERSION 3.16)
project(failing NONE)
enable_testing()
add_test(NAME passes COMMAND sh -c "exit 0")
add_test(NAME fails COMMAND sh -c "exit 1")
add_test(NAME skips_by_code COMMAND sh -c "exit 77")
set_tests_properties(skips_by_code PROPERTIES SKIP_RETURN_CODE 77)
add_test(NAME skips_by_output COMMAND sh -c "echo nothing to check")
set_tests_properties(skips_by_output PROPERTIES SKIP_REGULAR_EXPRESSION "nothing to check")
add_test(NAME fixture_fails COMMAND sh -c "exit 1")
set_tests_properties(fixture_fails PROPERTIES FIXTURES_SETUP fixture)
add_test(NAME needs_failed_fixture COMMAND sh -c "exit 0")
set_tests_properties(needs_failed_fixture PROPERTIES FIXTURES_REQUIRED fixture)
add_test(NAME disabled COMMAND sh -c "exit 0")
set_tests_properties(disabled PROPERTIES DISABLED TRUE)
CMAKE
cat >passing/CMakeLists.txt <<'CMAKE'
cmake_minimum_required(VERSION 3.16)
project(passing NONE)
enable_testing()
add_test(NAME passes COMMAND sh -c "exit 0")
CMAKE
for suite in failing passing; do
    cmake -S $suite -B $suite-build >/dev/null || exit 1
done

fail=0
# Runs the suites as the test command does, and checks its closing line and
# status.
expect() {
    local closing=$1 status=$2
    shift 2
    local output
    output=$(bash -c 'set -euo pipefail; . "$0"; for build in "$@"; do run_suite "$build"; done; report_results' \
             "$counting" "$@" 2>&1)
    local got_status=$?
    if [ "$(echo "$output" | tail -n 1)" != "$closing" ] || [ "$got_status" -ne "$status" ]; then
        echo "FAIL: suites $*: expected '$closing' and status $status, got status $got_status after:"
        echo "$output"
        fail=1
    fi
}
expect "all: 2 passed, 3 failed, 3 skipped" 1 failing-build passing-build
expect "all: 1 passed, 0 failed, 0 skipped" 0 passing-build
# A stage that cannot run here, as the Windows one without Wine, is one skip.
skip_windows=$(bash -c '. "$0"; run_suite "$1"; skip_stage windows "no wine"; report_results' "$counting" passing-build 2>&1)
if [ "$?" -ne 0 ] || [ "$(echo "$skip_windows" | tail -n 2)" != $'windows: skipped: no wine\nall: 1 passed, 0 failed, 1 skipped' ]; then
    echo "FAIL: a skipped stage gives: $skip_windows"
    fail=1
fi
exit $fail
