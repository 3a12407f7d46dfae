#!/bin/sh
# Builds the package again from a fresh clone of the committed sources, in
# another folder, later, under another umask, time zone and locale, and checks
# that it has the same bytes as the one package in FIRST_PACKAGE_DIR.
#   rebuild_package.sh SOURCE_DIR FIRST_PACKAGE_DIR CMAKE_ARGUMENTS...
set -eu
source_dir=$1
first_package=$(echo "$2"/*.deb)
shift 2

# The clone has only what is committed: with changes beside it, the first
# package comes from other sources.
if ! commit=$(git -C "$source_dir" rev-parse HEAD 2>/dev/null); then
    echo "rebuild_package: $source_dir is not a git checkout; nothing to clone"
    exit 77
fi
if [ -n "$(git -C "$source_dir" status --porcelain)" ]; then
    echo "rebuild_package: $source_dir has uncommitted changes; commit them to compare"
    exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sleep 2

umask 002
export TZ=America/Los_Angeles LC_ALL=C
git clone --quiet --no-checkout "$source_dir" "$work/source"
git -C "$work/source" checkout --quiet --detach "$commit"
cmake -S "$work/source" -B "$work/source/build" -DBUILD_TESTING=OFF "$@" >/dev/null
cmake --build "$work/source/build" -j2 --target md5tool compressed_docs >/dev/null
(cd "$work/source/build" && cpack -G DEB >/dev/null)

second_package="$work/source/build/$(basename "$first_package")"
if ! cmp "$first_package" "$second_package"; then
    for package in "$first_package" "$second_package"; do
        echo "$package:"
        ar tv "$package"
        dpkg-deb --info "$package"
        dpkg-deb --contents "$package"
    done
    exit 1
fi
sha256sum "$first_package" "$second_package"
