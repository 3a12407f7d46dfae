# Sourced by the scripts that run Windows programs: Wine in the prefix named
# first in the arguments, made on first use, quiet, and without the offers to
# download .NET and a browser engine that a new prefix makes.
export WINEPREFIX=$1
shift
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# One run at a time sets the prefix up; the others wait for it.
mkdir -p "$(dirname "$WINEPREFIX")"
(
    flock 9
    [ -e "$WINEPREFIX/md5tool-ready" ] && exit 0
    wineboot -i >/dev/null 2>&1
    # The temporary folder doubles as a share, \\md5tool-test\temp, for the
    # tests of files on a network.
    temp=$(winepath -u "$(wine cmd /c 'echo %TEMP%' 2>/dev/null | tr -d '\r')")
    mkdir -p "$WINEPREFIX/dosdevices/unc/md5tool-test"
    ln -sfn "$temp" "$WINEPREFIX/dosdevices/unc/md5tool-test/temp"
    # Qt's offscreen platform, which the tests use, draws with the fonts of a
    # folder of its own: the Chinese font that the run command installs.
    wine reg add 'HKCU\Environment' /v QT_QPA_FONTDIR /t REG_SZ /d 'Z:\usr\share\fonts\truetype\wqy' /f >/dev/null 2>&1
    touch "$WINEPREFIX/md5tool-ready"
) 9>"$WINEPREFIX.lock"
