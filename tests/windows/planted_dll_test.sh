#!/usr/bin/env bash
# md5tool.exe among DLLs planted beside it and in the current folder, as an
# earlier download may leave one in Downloads: one of each name that the
# program delay-loads, exporting all of that DLL's functions, each of which
# leaves a mark when loaded by name, as a delay-loaded DLL is. Wine is told
# to prefer them to its own, as Windows' search order would. The program must
# digest "abc" in its window (wine-window.sh) and load none of them. Loads
# at start, for an import, leave no mark: the program's own imports are
# windows_exe's to check, and Wine's user32 imports version.dll, which
# Windows' does not. Arguments: md5tool.exe, the folder
# of the delay-loaded DLLs' definitions, the C++ compiler for Windows, the
# Wine prefix.
set -euo pipefail
built_exe=$1
definitions=$2
compiler=$3
shift 3
. "$(dirname "$0")/wine-window.sh"

loaded() {
    (cd "$work" && ls -- *.loaded 2>/dev/null) | tr '\n' ' '
}
fail() {
    echo "planted_dll_test: $*; loaded: $(loaded)" >&2
    exit 1
}

cat >"$work/planted.cpp" <<'SOURCE'
#include <windows.h>

extern "C" int planted()
{
    return 0;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID forImport)
{
    if (reason == DLL_PROCESS_ATTACH && !forImport) {
        wchar_t mark[MAX_PATH + 8];
        lstrcpyW(mark + GetModuleFileNameW(self, mark, MAX_PATH), L".loaded");
        CloseHandle(CreateFileW(mark, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
    return TRUE;
}
SOURCE
"$compiler" -c -o "$work/planted.o" "$work/planted.cpp"
planted=
for definition in "$definitions"/*.def; do
    dll=$(sed -n 's/^LIBRARY //p' "$definition")
    { echo EXPORTS; sed '1,/^EXPORTS$/d; s/$/=planted/' "$definition"; } >"$work/$dll.def"
    "$compiler" -shared -static -o "$work/$dll" "$work/planted.o" "$work/$dll.def"
    planted+="$dll "
    WINEDLLOVERRIDES+=";$(tr A-Z a-z <<<"${dll%.*}")=n,b"
done
[ -n "$planted" ] || fail "no DLL definitions in $definitions"
cp "$built_exe" "$work/md5tool.exe"
exe=$work/md5tool.exe
cd "$work"

start 96
digest=$(text_digest abc)
stop
[ -z "$(loaded)" ] || fail "planted DLLs were loaded"
[ "$digest" = 900150983cd24fb0d6963f7d28e17f72 ] || fail "\"abc\" gives $digest"
echo "planted_dll_test: \"abc\" as expected, and none of $planted loaded"
