#!/bin/sh
# Builds the package again from a fresh clone of the committed sources, in
# another folder on another kind of filesystem, later, under another umask,
# time zone and locale, and checks that it has the same bytes as
# FIRST_PACKAGE, and that every member of its ar archive is owned by root with
# mode 0644.
#   rebuild_package.sh SOURCE_DIR FIRST_PACKAGE CMAKE_ARGUMENTS...
set -eu
source_dir=$1
first_package=$2
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

# The first of these folders on another kind of filesystem than the first
# package's: a tmpfs when that was built on a disk, a disk when on a tmpfs. A
# folder's size, for one, differs between them.
first_filesystem=$(stat -f -c %T "$(dirname "$first_package")")
candidates="/dev/shm ${TMPDIR:-/tmp} /var/tmp ${HOME:-}"
parent=
for candidate in $candidates; do
    if [ -d "$candidate" ] && [ -w "$candidate" ] && [ "$(stat -f -c %T "$candidate")" != "$first_filesystem" ]; then
        parent=$candidate
        break
    fi
done
if [ -z "$parent" ]; then
    echo "rebuild_package: none of $candidates is on another filesystem than $first_filesystem"
    exit 77
fi
work=$(mktemp -d "$parent/md5tool-rebuild-XXXXXX")
trap 'rm -rf "$work"' EXIT
echo "rebuild_package: first package on $first_filesystem, second built in $work ($(stat -f -c %T "$work"))"
sleep 2

umask 002
export TZ=America/Los_Angeles LC_ALL=C
git clone --quiet --no-checkout "$source_dir" "$work/source"
git -C "$work/source" checkout --quiet --detach "$commit"
cmake -S "$work/source" -B "$work/source/build" -DBUILD_TESTING=OFF "$@" >/dev/null
cmake --build "$work/source/build" -j2 --target deb >/dev/null

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
if ar tv "$first_package" | grep -v '^rw-r--r-- 0/0 '; then
    echo "rebuild_package: ar members above are not 0644 root:root"
    exit 1
fi
sha256sum "$first_package" "$second_package"
