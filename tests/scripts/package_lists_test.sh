#!/usr/bin/env bash
# Checks that the test command installs every Debian package that a test
# needs, so that on a fresh machine no test skips for want of one, and that
# it tells the packages that the package sources do not offer.
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

# dpkg-query and apt-cache played here: "kept" is installed, "offered" can
# be, "gone" cannot.
shims=$(mktemp -d)
trap 'rm -rf "$shims"' EXIT
printf '#!/bin/sh\n[ "$3" = kept ] && echo "install ok installed"\n' >"$shims/dpkg-query"
printf '#!/bin/sh\n[ "$2" = offered ] && echo "  Candidate: 1.0" || echo "  Candidate: (none)"\n' >"$shims/apt-cache"
chmod +x "$shims/dpkg-query" "$shims/apt-cache"
apt_update() { :; }
unavailable=$(PATH=$shims:$PATH unavailable_packages kept offered gone)
if [ "$unavailable" != gone ]; then
    echo "FAIL: of kept, offered and gone, '$unavailable' taken for not offered"
    exit 1
fi
