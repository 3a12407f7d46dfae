#!/usr/bin/env bash
# Installs what is missing, builds everything with the tests and runs them:
# a Release build (whose benchmarks run once on small inputs, as smoke tests,
# never timed), the same against Qt 6, then a build checked by
# AddressSanitizer and UndefinedBehaviorSanitizer, the file tests checked by
# ThreadSanitizer, the Windows program under Wine, then a minute of fuzzing
# the MD5 engine. A failing suite does not stop the others. Each stage's time
# is printed at the end, then the tests that passed, failed and were skipped,
# as CTest reports them.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
# The Windows stage configures with cmake --fresh (3.24).
require_cmake 3.24
. scripts/count-results.sh

stage_times=()
stage_start=$SECONDS
end_stage() {
    stage_times+=("time: $1 $((SECONDS - stage_start)) s")
    stage_start=$SECONDS
}

# A release that lacks a package of the Windows stage, as Debian testing at
# times lacks Wine, skips that stage alone.
windows_missing=$(unavailable_packages $WINDOWS_PACKAGES $WINDOWS_TEST_PACKAGES)
windows_packages="$WINDOWS_PACKAGES $WINDOWS_TEST_PACKAGES"
[ -z "$windows_missing" ] || windows_packages=
ensure_packages $RUN_PACKAGES $TEST_PACKAGES $windows_packages
end_stage "packages"

cmake -S . -B build-tests -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DBUILD_BENCHMARKS=ON >/dev/null
cmake --build build-tests -j"$(nproc)"
run_suite build-tests
end_stage "Release suite"

# The package stays a Qt 5 one, so its tests are left to the Qt 5 builds.
cmake -S . -B build-qt6 -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DMD5TOOL_QT_MAJOR=6 >/dev/null
cmake --build build-qt6 -j"$(nproc)"
run_suite build-qt6 --label-exclude package
end_stage "Qt 6 Release suite"

# Any sanitizer report fails the test that raised it. A Debug build also keeps
# the assertions in Qt's inline code. Qt is built without frame pointers, so
# only the slow unwinder sees deep enough to tell Qt's own allocations
# (scripts/lsan.supp) from leaks of ours.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DBUILD_TESTING=ON -DSANITIZE=ON >/dev/null
cmake --build build-asan -j"$(nproc)"
ASAN_OPTIONS=halt_on_error=1:fast_unwind_on_malloc=0 \
LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp \
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    run_suite build-asan
end_stage "sanitizer suite"

# The tests that run a file digest, whose reader is a thread of ours. Qt is
# not built with ThreadSanitizer, so what happens inside Qt's own code is
# left out of view. Without address-space randomisation, so that the
# sanitizer's fixed memory layout fits however the kernel is set (older
# ones stop at start where it randomises 32 bits).
tsan_tests="read_ahead_test file_digest_test file_failure_test long_digest_test hung_file_system_test"
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DBUILD_TESTING=ON \
    "-DCMAKE_CXX_FLAGS=-fsanitize=thread -O1" -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread >/dev/null
cmake --build build-tsan -j"$(nproc)" --target $tsan_tests hung_fs
TSAN_OPTIONS=halt_on_error=1:ignore_noninstrumented_modules=1 suite_runner="setarch $(uname -m) -R" \
    run_suite build-tsan -R "^(${tsan_tests// /|})\$"
end_stage "ThreadSanitizer"

# The Windows program and its tests under Wine. The static Qt it needs is
# built once into a cache outside the checkout, which takes half an hour or
# more the first time.
if [ -z "$windows_missing" ]; then
    ./scripts/windows.sh
    run_suite build-windows
else
    skip_stage windows "this release offers no Debian package $windows_missing"
fi
end_stage "Windows suite"

# New inputs go to build-fuzz/corpus; the committed seeds stay as they are.
cmake -S fuzz -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build-fuzz -j"$(nproc)"
mkdir -p build-fuzz/corpus
if build-fuzz/md5_fuzzer -max_total_time=60 -artifact_prefix=build-fuzz/ build-fuzz/corpus fuzz/corpus; then
    passed=$((passed + 1))
else
    failed=$((failed + 1))
fi
end_stage "fuzzing"

printf '%s\n' "${stage_times[@]}"
echo "time: total $SECONDS s"
report_results
