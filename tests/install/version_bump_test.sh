#!/bin/sh
# Gives a clone of the committed sources a new project(VERSION) and checks
# that configuring stops until the changelog names it, and that then the
# configured resource script and manifest of the Windows program and the
# Debian package's name, Version and SHA256SUMS follow it.
#   version_bump_test.sh SOURCE_DIR VERSION CMAKE_ARGUMENTS...
set -eu
source_dir=$1
old=$2
shift 2
commit=$(git -C "$source_dir" rev-parse HEAD) || exit 77
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
git clone --quiet --no-checkout "$source_dir" "$work/source"
cd "$work/source"
git checkout --quiet --detach "$commit"
sed -i "s/^project(Md5Tool VERSION $old /project(Md5Tool VERSION 9.8.7 /" CMakeLists.txt

# CMake wraps the lines of its message.
if cmake -S . -B "$work/refused" "$@" >"$work/log" 2>&1 || ! tr -s ' \n' ' ' <"$work/log" |
   grep -qF "changelog is version '$old', but CMakeLists.txt says project(VERSION 9.8.7)"; then
    cat "$work/log"
    exit 1
fi
printf 'md5tool (9.8.7) unstable; urgency=medium\n\n  * New.\n\n -- %s  %s\n\n' \
    "md5tool developers <developers@md5tool.invalid>" "Tue, 08 Dec 2026 09:00:00 +0000" | cat - resources/changelog >"$work/changelog"
mv "$work/changelog" resources/changelog
cmake -S . -B build -DBUILD_TESTING=OFF "$@" >/dev/null
cmake --build build -j2 --target deb >/dev/null

package=md5tool_9.8.7_$(dpkg-architecture -qDEB_HOST_ARCH).deb
while read -r file text; do
    grep -qF -- "$text" "build/$file" || { echo "version_bump: build/$file lacks '$text'"; exit 1; }
done <<EOF
resources/app.rc FILEVERSION 9,8,7,0
resources/app.rc PRODUCTVERSION 9,8,7,0
resources/app.rc VALUE "FileVersion", "9.8.7.0"
resources/app.rc VALUE "ProductVersion", "9.8.7.0"
resources/md5tool.manifest name="md5tool" version="9.8.7.0"
SHA256SUMS $package
EOF
[ "$(dpkg-deb --field "build/$package" Version)" = 9.8.7 ] || { echo "version_bump: $package is not 9.8.7"; exit 1; }
