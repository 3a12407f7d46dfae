#!/bin/sh
# Runs a test whose programs are all installed; otherwise reports it skipped
# (status 77), naming the Debian package to install. A program named by an
# absolute path, such as a Qt plugin or a font, must exist there.
#   needs.sh PROGRAM=PACKAGE... -- COMMAND [ARGUMENT]...
missing=
while [ $# -gt 0 ] && [ "$1" != -- ]; do
    program=${1%%=*}
    case $program in
        /*) [ -e "$program" ] ;;
        *) command -v "$program" >/dev/null 2>&1 ;;
    esac || missing="$missing $program (Debian package ${1#*=})"
    shift
done
shift
if [ -n "$missing" ]; then
    echo "skipped: not installed:$missing"
    exit 77
fi
exec "$@"
