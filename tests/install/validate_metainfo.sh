#!/bin/sh
# Validates AppStream metadata offline. Any error or warning fails it but one:
# AppStream 1.0 (Debian 13) warns that no homepage is named, and the project
# has no web site to name.
report=$(appstreamcli validate --no-net "$1" 2>&1)
status=$?
printf '%s\n' "$report"
[ "$status" -eq 0 ] && exit 0
echo "$report" | grep -q '^[EW]:' || exit 1
! echo "$report" | grep '^[EW]:' | grep -qv 'url-homepage-missing'
