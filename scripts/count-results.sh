# Sourced by the test command: runs builds' test suites and adds up their
# results from CTest's own report. A test skipped on purpose
# (SKIP_RETURN_CODE and the like) counts as skipped, one that did not run for
# another reason, such as a failed fixture, as failed.
passed=0
failed=0
skipped=0

# Runs a build's tests, through suite_runner if set. A failing suite leaves
# the ones after it to run.
run_suite() {
    local build=$1
    shift
    ${suite_runner:-} ctest --test-dir "$build" --output-on-failure --output-junit "$PWD/$build/results.xml" "$@" || true
    local counts
    counts=$(awk '
        function count() {
            if (status == "run") passed++
            else if (status == "disabled" || (status == "notrun" && skip)) skipped++
            else failed++
        }
        /<testcase / {
            if (status != "") count()
            match($0, /status="[a-z]*"/)
            status = substr($0, RSTART + 8, RLENGTH - 9)
            skip = 0
        }
        /<skipped message="SKIP_/ { skip = 1 }
        END { if (status != "") count(); print passed + 0, failed + 0, skipped + 0 }' "$build/results.xml")
    local suite_passed suite_failed suite_skipped
    read -r suite_passed suite_failed suite_skipped <<<"$counts"
    passed=$((passed + suite_passed))
    failed=$((failed + suite_failed))
    skipped=$((skipped + suite_skipped))
}

# A stage that this machine cannot run, said in one line and counted as one
# skipped test.
skip_stage() {
    echo "$1: skipped: $2"
    skipped=$((skipped + 1))
}

# The closing line; fails if any test failed.
report_results() {
    echo "all: $passed passed, $failed failed, $skipped skipped"
    [ "$failed" -eq 0 ]
}
