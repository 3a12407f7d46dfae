#!/usr/bin/env bash
# What Windows sees of md5tool.exe before it runs it: a windowed program, with
# no console, built for address-space randomisation with 64-bit addresses and
# no-execute data, that imports KnownDLLs alone, which every Windows from 7 on
# has and takes from its own folder wherever the program is, and that carries
# its icon, version record and manifest. Arguments: md5tool.exe, the folder of
# the resources configured with the version, and the KnownDLLs' names.
set -euo pipefail
exe=$1
resources=$2
shift 2
known_dlls=" $* "

fail() {
    echo "exe_test: $*" >&2
    exit 1
}

headers=$(x86_64-w64-mingw32-objdump -p "$exe")
grep -q '^Subsystem.*(Windows GUI)' <<<"$headers" || fail "not a windowed program"
characteristics=0x$(sed -n 's/^DllCharacteristics\s*//p' <<<"$headers")
# High-entropy addresses, dynamic base, NX compatible.
for flag in 0x20 0x40 0x100; do
    (( characteristics & flag )) || fail "DllCharacteristics $characteristics lacks $flag"
done
# Not the compiler's runtime, winpthread, Qt or the Universal C Runtime,
# which Windows 7 has only with an update; a DLL of Windows' own that is not
# a KnownDLL would be looked for beside the program first, and must be
# delay-loaded (cmake/windows-delayload.cmake).
imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort -u)
for dll in $imports; do
    [[ $known_dlls == *" ${dll%.dll} "* ]] || fail "imports $dll, which is not a KnownDLL"
done
# The delay-load helper writes the functions it resolves into .idata.
x86_64-w64-mingw32-objdump -h "$exe" | grep -A1 ' \.idata ' | grep -q 'READONLY' && fail ".idata is read-only"

# Each resource by type and name, as wrestool lists them.
listed=$(wrestool -l "$exe")
for resource in "--type=14 --name='IDI_ICON1'" "--type=16 --name=1" "--type=24 --name=1"; do
    grep -qF -- "$resource" <<<"$listed" || fail "no resource $resource in: $listed"
done
wrestool -x --raw --type=24 --name=1 "$exe" | cmp - "$resources/md5tool.manifest" || fail "the manifest differs"
echo "exe_test: a windowed program that imports $(wc -w <<<"$imports") KnownDLLs, with its icon, version record and manifest"
