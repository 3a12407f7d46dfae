#!/usr/bin/env bash
# Runs a Windows test program under Wine, in the Wine prefix given first, and
# passes on its output and exit status. QtTest writes nothing that reaches
# Wine's standard output, so its report goes through a file.
set -euo pipefail
. "$(dirname "$0")/wine-prefix.sh"
program=$1
shift

# Wine keeps every variable whose name starts with QT_ from Windows programs,
# so the platform that the test asks for goes to the prefix's environment.
wine reg add 'HKCU\Environment' /v QT_QPA_PLATFORM /t REG_SZ /d "${QT_QPA_PLATFORM:-windows}" /f >/dev/null 2>&1

report=$(mktemp)
trap 'rm -f "$report"' EXIT
status=0
wine "$program" "$@" -o "Z:$report,txt" || status=$?
cat "$report"
exit "$status"
