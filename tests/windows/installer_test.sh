#!/usr/bin/env bash
# The installer as a user or an administrator's script runs it under Wine:
# silently, without administrator rights, it puts md5tool.exe, a Start-menu
# shortcut and an entry for Apps & features in place; the uninstaller takes
# them all away again, run as Apps & features' entry says for a silent
# uninstall. The zip holds the same program and texts, and made again later
# it has the same bytes; SHA256SUMS beside them gives the digests of both.
# Arguments: the installer, the zip (in the build folder), md5tool.exe, the
# version, the Wine prefix.
set -euo pipefail
setup=$1
zip=$2
exe=$3
version=$4
shift 4
. "$(dirname "$0")/wine-prefix.sh"

fail() {
    echo "installer_test: $*" >&2
    exit 1
}

user_dir=$WINEPREFIX/drive_c/users/$(id -un)
installed=$user_dir/AppData/Local/Programs/md5tool
shortcut="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/MD5 小工具.lnk"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\md5tool'

# A value of the uninstall entry, empty if there is none. Exported to a file,
# in UTF-16, since Wine writes the console's output in an 8-bit code page.
entry() {
    local exported
    exported=$(mktemp)
    wine reg export "$key" "Z:$exported" /y >/dev/null 2>&1 || true
    iconv -f UTF-16LE -t UTF-8 "$exported" 2>/dev/null | tr -d '\r' |
        sed -n "s/^\"$1\"=\"\(.*\)\"\$/\1/p" | sed 's/\\\(.\)/\1/g'
    rm -f "$exported"
}

wine "$setup" /S
cmp "$exe" "$installed/md5tool.exe" || fail "the installed program is not the one built"
[ -f "$installed/uninstall.exe" ] || fail "no uninstaller"
[ -f "$shortcut" ] || fail "no Start-menu shortcut"
unzipped=$(mktemp -d)
trap 'rm -rf "$unzipped"' EXIT
(cd "$unzipped" && cmake -E tar xf "$zip")
cmp "$exe" "$unzipped"/*/md5tool.exe || fail "the zip's program is not the one built"
# Notepad before Windows 10 shows bare LF line ends as one line.
for text in "$installed/LICENSE.txt" "$unzipped"/*/LICENSE.txt "$unzipped"/*/README.txt; do
    ! grep -qv $'\r$' "$text" || fail "$text has lines without CR"
done
[ "$(head -c3 "$unzipped"/*/README.txt | od -An -tx1)" = " ef bb bf" ] || fail "README.txt lacks the UTF-8 signature"
# Zip entries are dated to 2 seconds.
cp "$zip" "$unzipped/first.zip"
sleep 2
rm "$zip"
cmake --build "$(dirname "$zip")" --target windows_zip >/dev/null
cmp "$unzipped/first.zip" "$zip" || fail "the zip made again differs"
downloads=$(dirname "$zip")
[ "$(sed 's/^[0-9a-f]\{64\}  //' "$downloads/SHA256SUMS")" = "$(basename "$zip")"$'\n'"$(basename "$setup")" ] ||
    fail "SHA256SUMS lists: $(cat "$downloads/SHA256SUMS")"
(cd "$downloads" && sha256sum --check --strict --quiet SHA256SUMS) || fail "SHA256SUMS gives other digests"
[ "$(entry DisplayVersion)" = "$version" ] || fail "Apps & features gives version '$(entry DisplayVersion)'"
[ "$(entry DisplayName)" = "MD5 小工具" ] || fail "Apps & features lists '$(entry DisplayName)'"
uninstaller=$(entry UninstallString)
[ "$uninstaller" = '"C:\users\'"$(id -un)"'\AppData\Local\Programs\md5tool\uninstall.exe"' ] ||
    fail "the uninstaller is given as $uninstaller"

quiet_uninstaller=$(entry QuietUninstallString)
[[ $quiet_uninstaller == "$uninstaller "* ]] || fail "the silent uninstaller is given as $quiet_uninstaller"

# Run as the entry's command line, through a batch file: Wine would quote the
# quotes of an argument. The uninstaller runs from a copy of itself, so that
# it can delete itself; the program that started it returns at once. One that
# is not silent waits for a click instead.
printf '@%s\r\n' "$quiet_uninstaller" >"$unzipped/uninstall.cmd"
wine cmd /c "$(winepath -w "$unzipped/uninstall.cmd")"
for _ in $(seq 100); do
    [ -e "$installed" ] || break
    sleep 0.2
done
[ ! -e "$installed" ] || { wineserver -k; fail "left behind: $(ls -A "$installed")"; }
wineserver -w
[ ! -e "$shortcut" ] || fail "the shortcut is left behind"
[ -z "$(entry DisplayName)" ] || fail "Apps & features still lists it"
echo "installer_test: installed, listed and uninstalled cleanly"
