# Sourced by the run script: tells whether Qt will find a display to show the
# window on, so that the run command can say so in one line where Qt would
# abort with a long message.

# The platforms that Qt tries, in order, separated by ';', each perhaps with
# ":options". Unless QT_QPA_PLATFORM names them, Debian's Qt 5 tries Wayland
# and then X11 in a Wayland session, and only X11 in any other.
qt_platforms() {
    if [ -n "${QT_QPA_PLATFORM:-}" ]; then
        printf '%s\n' "$QT_QPA_PLATFORM"
    elif [ "${XDG_SESSION_TYPE:-}" = wayland ]; then
        echo "wayland;xcb"
    else
        echo xcb
    fi
}

# X11 and Wayland need a server that answers, found as Qt finds it; any other
# platform (offscreen, vnc, eglfs...) is left to Qt.
platform_has_display() {
    case ${1%%:*} in
        xcb) [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1 ;;
        wayland*) timeout 10 wayland-info >/dev/null 2>&1 ;;
        *) true ;;
    esac
}

has_display() {
    local platforms platform
    IFS=';' read -r -a platforms <<<"$(qt_platforms)"
    for platform in "${platforms[@]}"; do
        [ -n "$platform" ] && platform_has_display "$platform" && return 0
    done
    return 1
}
