#!/usr/bin/env bash
# Checks that the test command installs every Debian package that a test
# needs, so that on a fresh machine no test skips for want of one.
#   package_lists_test.sh scripts/deps.sh PACKAGE...
. "$1"
shift
missing=
for package in "$@"; do
    case " $(echo $RUN_PACKAGES $TEST_PACKAGES) " in
        *" $package "*) ;;
        *) missing="$missing $package" ;;
    esac
done
if [ -n "$missing" ]; then
    echo "FAIL: needed by tests, installed by neither the run nor the test command:$missing"
    exit 1
fi
