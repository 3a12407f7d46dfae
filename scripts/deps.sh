# Sourced by the run and test scripts: installs missing Debian packages.

# The packages needed to build and run the program, on X11 or natively on
# Wayland, and to tell whether either display answers; to render its icon
# from the drawing, as PNGs and as the Windows icon (librsvg2-bin, icoutils);
# and to build its Debian package with dpkg's tools (dpkg-dev).
RUN_PACKAGES="g++ make cmake qtbase5-dev qtbase5-dev-tools qtwayland5 fonts-wqy-zenhei x11-utils wayland-utils
              librsvg2-bin icoutils dpkg-dev"

# And those the test command needs besides: display servers and the tools
# that drive them, the checkers of the package and its metadata, the Windows
# resource compiler, clang for the fuzzer, Qt 6, OpenSSL for the
# benchmarks, and FUSE, found by pkg-config, for a file system that hangs.
TEST_PACKAGES="xvfb xdotool x11-xserver-utils weston binutils-mingw-w64-x86-64 desktop-file-utils lintian
               appstream fontconfig git clang libclang-rt-dev libx11-dev qt6-base-dev qt6-wayland libssl-dev
               fuse3 libfuse3-dev pkg-config"

# And those of the Windows build: the MinGW-w64 cross compiler (its POSIX
# threads flavour, which has std::thread), what builds Qt from Debian's
# source package, what renders the icon, NSIS for the installer and
# Info-ZIP's zip.
WINDOWS_PACKAGES="g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 dpkg-dev make
                  perl xz-utils librsvg2-bin icoutils nsis zip cmake"

# And those of its tests: Wine, a Chinese font, an X server and the tools
# that drive it; the X11 side of the real drag is built against the Qt 5
# that RUN_PACKAGES brings.
WINDOWS_TEST_PACKAGES="wine wine64 fonts-wqy-zenhei xvfb x11-xserver-utils xdotool xclip g++ pkg-config qtbase5-dev"

is_installed() {
    [ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" = "install ok installed" ]
}

# Runs a command as root: through sudo for another user. Fails, saying what
# to run, where there is no sudo.
as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null; then
        sudo "$@"
    else
        echo "No sudo to run this with. As root, run:" >&2
        echo "  $*" >&2
        return 1
    fi
}

# Reads the package sources' lists, once per run.
apt_updated=
apt_update() {
    [ -n "$apt_updated" ] && return 0
    as_root apt-get update -qq && apt_updated=yes
}

# Prints those of the named packages that are neither installed nor offered
# by the package sources, as Wine at times is not in Debian testing.
unavailable_packages() {
    local package missing=()
    for package in "$@"; do
        is_installed "$package" && continue
        apt_update || return 1
        [ -n "$(apt-cache policy "$package" 2>/dev/null | sed -n 's/^ *Candidate: //p' | grep -v '(none)')" ] ||
            missing+=("$package")
    done
    echo "${missing[*]}"
}

# Fails, saying so in one line, where the cmake found is older than the
# version given; where there is none, the package lists bring one.
require_cmake() {
    local found
    found=$(cmake --version 2>/dev/null | sed -n 's/^cmake version //p') || true
    if [ -n "$found" ] && ! dpkg --compare-versions "$found" ge "$1"; then
        echo "$(basename "$0"): needs CMake $1 or newer, and $(command -v cmake) is CMake $found" >&2
        return 1
    fi
}

# Installs those of the named packages that are not installed yet; a second
# run finds them all and touches nothing.
ensure_packages() {
    local missing=()
    local package
    for package in "$@"; do
        is_installed "$package" || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    apt_update
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
