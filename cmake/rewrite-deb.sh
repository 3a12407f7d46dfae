#!/bin/sh
# Rewrites the Debian package PACKAGE that cpack built from the staged folder
# STAGED:
# - its control file gets the Installed-Size that dpkg-gencontrol computes
#   (deb-substvars(5)): each regular file or symbolic link in the package
#   counts its size rounded up to whole KiB, every other entry one KiB;
# - its ar archive is written anew, every member owned by 0:0 with mode 0644,
#   and dated SOURCE_DATE_EPOCH, in the order cpack gave them.
#   rewrite-deb.sh PACKAGE STAGED
set -eu
package=$1
staged=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
members=$(ar t "$package")
(cd "$work" && ar x "$package")
control_member=$(echo "$members" | grep -x 'control\.tar\.gz')
data_member=$(echo "$members" | grep '^data\.tar\.')

# The entries are those of the data archive, looked at in the staged folder.
kib=$(cd "$work" && tar -tf "$data_member" | (cd "$staged" && tr '\n' '\0' | xargs -0 stat -c '%F %s' --) |
      awk '/^(regular|symbolic)/ { kib += int(($NF + 1023) / 1024); next } { kib += 1 } END { print kib + 0 }')

mkdir "$work/control"
control_files=$(tar -tf "$work/$control_member")
tar -xf "$work/$control_member" -C "$work/control"
sed -i "s/^Installed-Size: .*/Installed-Size: $kib/" "$work/control/control"
grep -q "^Installed-Size: $kib\$" "$work/control/control"
# CPack compresses the control archive with gzip whatever it does to the data.
(cd "$work/control" && tar -cf - --format=gnu --sort=name --owner=root:0 --group=root:0 \
    --mode=0644 --mtime="@$SOURCE_DATE_EPOCH" $control_files) | gzip -9n >"$work/$control_member"

# An ar archive is "!<arch>\n" and then, per member, a 60-byte header (name,
# date, owner, group, mode, size, "`\n") and the bytes, padded to even length.
{
    printf '!<arch>\n'
    for member in $members; do
        size=$(wc -c <"$work/$member")
        printf '%-16s%-12s%-6s%-6s%-8s%-10s`\n' "$member" "$SOURCE_DATE_EPOCH" 0 0 100644 "$size"
        cat "$work/$member"
        [ $((size % 2)) -eq 0 ] || printf '\n'
    done
} >"$work/package.deb"
cat "$work/package.deb" >"$package"
