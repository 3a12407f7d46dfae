#!/usr/bin/env bash
# What Windows sees of md5tool.exe before it runs it: a windowed program, with
# no console, that imports only DLLs that every Windows from 7 on has, and that
# carries its icon, version record and manifest. Arguments: md5tool.exe and
# the resources folder.
set -euo pipefail
exe=$1
resources=$2

fail() {
    echo "exe_test: $*" >&2
    exit 1
}

headers=$(x86_64-w64-mingw32-objdump -p "$exe")
grep -q '^Subsystem.*(Windows GUI)' <<<"$headers" || fail "not a windowed program"
# Windows 7's own DLLs; not the compiler's runtime, winpthread, Qt or the
# Universal C Runtime, which Windows 7 has only with an update.
windows7_dlls=" advapi32.dll comdlg32.dll dwmapi.dll gdi32.dll imm32.dll kernel32.dll mpr.dll msvcrt.dll
                netapi32.dll ole32.dll oleaut32.dll shell32.dll shlwapi.dll user32.dll userenv.dll uxtheme.dll
                version.dll winmm.dll ws2_32.dll wtsapi32.dll "
imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort -u)
for dll in $imports; do
    [[ $windows7_dlls == *[[:space:]]$dll[[:space:]]* ]] || fail "imports $dll, which Windows 7 may lack"
done

# Each resource by type and name, as wrestool lists them.
listed=$(wrestool -l "$exe")
for resource in "--type=14 --name='IDI_ICON1'" "--type=16 --name=1" "--type=24 --name=1"; do
    grep -qF -- "$resource" <<<"$listed" || fail "no resource $resource in: $listed"
done
wrestool -x --raw --type=24 --name=1 "$exe" | cmp - "$resources/md5tool.manifest" || fail "the manifest differs"
echo "exe_test: a windowed program that imports $(wc -w <<<"$imports") of Windows' own DLLs, with its icon, version record and manifest"
