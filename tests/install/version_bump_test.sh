#!/bin/sh
# Gives a clone of the committed sources a new version in project(VERSION)
# and checks that a changelog without it stops the configure, and that with
# it every copy follows: the configured resource script and manifest of the
# Windows program, and the Debian package's name, Version and SHA256SUMS.
#   version_bump_test.sh SOURCE_DIR VERSION CMAKE_ARGUMENTS...
set -eu
source_dir=$1
old=$2
shift 2
new=9.8.7

if ! commit=$(git -C "$source_dir" rev-parse HEAD 2>/dev/null); then
    echo "version_bump: $source_dir is not a git checkout; nothing to clone"
    exit 77
fi
fail() {
    echo "version_bump: $*"
    exit 1
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
git clone --quiet --no-checkout "$source_dir" "$work/source"
cd "$work/source"
git checkout --quiet --detach "$commit"
sed -i "s/^project(Md5Tool VERSION $old /project(Md5Tool VERSION $new /" CMakeLists.txt
grep -q "^project(Md5Tool VERSION $new " CMakeLists.txt || fail "no project(VERSION $old) to bump"

# CMake wraps its message's lines.
if cmake -S . -B build -DBUILD_TESTING=OFF "$@" >"$work/log" 2>&1 ||
   ! tr -s ' \n' ' ' <"$work/log" | grep -qF "changelog is version '$old', but CMakeLists.txt says project(VERSION $new)"; then
    cat "$work/log"
    fail "a changelog without $new configured, or without saying why not"
fi

{
    printf 'md5tool (%s) unstable; urgency=medium\n\n  * A new version.\n\n' "$new"
    printf ' -- md5tool developers <developers@md5tool.invalid>  Tue, 08 Dec 2026 09:00:00 +0000\n\n'
    cat resources/changelog
} >"$work/changelog"
mv "$work/changelog" resources/changelog
rm -rf build
cmake -S . -B build -DBUILD_TESTING=OFF "$@" >/dev/null
cmake --build build -j2 --target deb >/dev/null

package=md5tool_${new}_$(dpkg-architecture -qDEB_HOST_ARCH).deb
while read -r file text; do
    grep -qF -- "$text" "build/$file" || fail "build/$file lacks '$text'"
done <<EOF
resources/app.rc FILEVERSION 9,8,7,0
resources/app.rc PRODUCTVERSION 9,8,7,0
resources/app.rc VALUE "FileVersion", "9.8.7.0"
resources/app.rc VALUE "ProductVersion", "9.8.7.0"
resources/md5tool.manifest name="md5tool" version="9.8.7.0"
SHA256SUMS   $package
EOF
[ "$(dpkg-deb --field "build/$package" Version)" = "$new" ] || fail "$package is not of version $new"
echo "version_bump: $new reached the resources and $package"
