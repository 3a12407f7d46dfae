#!/usr/bin/env bash
# Builds a static Qt 5 (qtbase) for 64-bit Windows from the running Debian
# release's own source package, with Debian's MinGW-w64, and prints the folder
# it is installed in. The build takes half an hour or more, so it goes once
# into a cache outside the checkout, in a folder named by a digest of what
# went into it: the source version, the configure options and the compiler
# and runtime versions. A later run finds it in seconds.
set -euo pipefail

cache=${MD5TOOL_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/md5tool}
mkdir -p "$cache"
started=$SECONDS
say() { echo "windows-qt: $1 ($((SECONDS - started)) s)" >&2; }

# Only Debian's own archives, as deb-src lines, in a private apt setup: the
# system's sources and lists stay untouched, and apt checks the source files
# against the archive's signed index.
apt_dir=$cache/apt
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/parts"
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
[ -e "$keyring" ] || keyring=/usr/share/keyrings/debian-archive-keyring.pgp
apt-get indextargets 'Created-By: Packages' 'Origin: Debian' --format '$(REPO_URI) $(RELEASE) $(COMPONENT)' |
    sort -u | while read -r uri release component; do
        echo "deb-src [signed-by=$keyring] $uri $release $component"
    done >"$apt_dir/sources.list"
apt_options=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o "Dir::Etc::SourceParts=$apt_dir/parts"
             -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache"
             -o Debug::NoLocking=1 -o APT::Sandbox::User=)
apt-get -qq "${apt_options[@]}" update >&2
version=$(apt-cache "${apt_options[@]}" showsrc --only-source qtbase-opensource-src |
          sed -n 's/^Version: //p' | sort -V | tail -n1)
[ -n "$version" ] || { echo "windows-qt: Debian's archive has no qtbase-opensource-src" >&2; exit 1; }

# What the program and its tests use, and no more: every module or feature
# left out shortens a build that a fresh machine makes in full. Debian's
# source lacks the tablet library (wintab); the Direct2D platform plugin
# clashes with the Windows one when both are linked statically; FreeType stays,
# as the offscreen platform plugin that the tests use needs it. Without
# QLibrary, Qt loads no plugin or library from a folder at run time: all it
# needs is linked in, so no DLL planted on the user's disk is ever loaded.
# The prefix written into the program is a fixed name, so that the exe's bytes
# do not depend on where the cache is.
options=(
    -xplatform win32-g++ -device-option CROSS_COMPILE=x86_64-w64-mingw32-
    -static -static-runtime -release -opensource -confirm-license
    -nomake examples -nomake tests -nomake tools
    -no-opengl -no-dbus -no-icu -no-openssl -no-libjpeg -no-gif -no-ico
    -qt-zlib -qt-libpng -qt-pcre -qt-harfbuzz -qt-freetype
    -no-feature-network -no-feature-sql -no-feature-xml -no-feature-concurrent
    -no-feature-printer -no-feature-tabletevent -no-feature-vulkan -no-feature-direct2d
    -no-feature-sessionmanager -no-feature-pdf -no-feature-textodfwriter -no-feature-library
    -prefix /md5tool-qt
)
compiler=x86_64-w64-mingw32-g++-posix
# Qt's build calls the compiler by its plain name, which Debian's alternatives
# may point at the flavour without std::thread; the program's build would then
# mix two C++ runtimes. grep reads to the end: with -q it would stop at the
# line, and the compiler, cut off, would fail the pipe.
if ! x86_64-w64-mingw32-g++ -v 2>&1 | grep '^Thread model: posix' >/dev/null; then
    echo "windows-qt: x86_64-w64-mingw32-g++ is not the POSIX threads flavour; as root, run:" >&2
    echo "  update-alternatives --set x86_64-w64-mingw32-g++ /usr/bin/x86_64-w64-mingw32-g++-posix" >&2
    echo "  update-alternatives --set x86_64-w64-mingw32-gcc /usr/bin/x86_64-w64-mingw32-gcc-posix" >&2
    exit 1
fi
# Source file names go into Qt's messages relative to the build folder, so
# that where the cache is leaves no trace in the program.
prefix_map=file-prefix-map
key=$( {
    echo "$version"
    echo "${options[@]}" "$prefix_map"
    "$compiler" --version | head -n1
    dpkg-query -W -f='${Version}\n' mingw-w64-x86-64-dev
} | sha256sum | cut -c1-16)
prefix=$cache/qt-$version-mingw-$key

exec 9>"$prefix.lock"
flock 9
if [ -e "$prefix/complete" ]; then
    say "Qt $version for Windows found in $prefix"
    echo "$prefix"
    exit 0
fi

work=$cache/build-$key
rm -rf "$work" "$prefix"
mkdir -p "$work"
say "fetching qtbase-opensource-src $version"
(cd "$work" && apt-get -qq "${apt_options[@]}" source "qtbase-opensource-src=$version" >/dev/null)
source_dir=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'qtbase-opensource-src-*')

say "configuring"
mkdir -p "$work/build"
(cd "$work/build" && "$source_dir/configure" -extprefix "$prefix" "${options[@]}" \
    "QMAKE_CFLAGS+=-f$prefix_map=$work=qt" "QMAKE_CXXFLAGS+=-f$prefix_map=$work=qt" >"$work/configure.log" 2>&1) ||
    { tail -n 40 "$work/configure.log" >&2; exit 1; }

say "building (about half an hour on two cores)"
make -C "$work/build" -j"$(nproc)" >"$work/build.log" 2>&1 || { tail -n 40 "$work/build.log" >&2; exit 1; }
say "installing"
make -C "$work/build" install >"$work/install.log" 2>&1 || { tail -n 40 "$work/install.log" >&2; exit 1; }
touch "$prefix/complete"
rm -rf "$work"
say "Qt $version for Windows built into $prefix"
echo "$prefix"
