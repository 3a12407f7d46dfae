# Run by the deb target: installs BUILD_DIR into BUILD_DIR/debian/md5tool and
# makes DEB_FILE of it with dpkg's tools, and SHA256SUMS beside it. The same
# sources give the same bytes whenever, wherever and under whatever umask they
# are built: every time stamp is SOURCE_DATE_EPOCH, else the date of
# CHANGELOG's newest entry; every file belongs to root; folders and the
# program are 0755, other files 0644.
cmake_minimum_required(VERSION 3.19)

if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND dpkg-parsechangelog -l ${CHANGELOG} -STimestamp
                    OUTPUT_VARIABLE source_date OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    # dpkg-deb dates the archive's members by it.
    set(ENV{SOURCE_DATE_EPOCH} ${source_date})
endif()

set(debian ${BUILD_DIR}/debian)
set(stage ${debian}/md5tool)
get_filename_component(deb_dir ${DEB_FILE} DIRECTORY)
get_filename_component(deb_name ${DEB_FILE} NAME)
file(REMOVE_RECURSE ${stage} ${debian}/substvars ${DEB_FILE} ${deb_dir}/SHA256SUMS)

set(ENV{DESTDIR} ${stage})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr --strip
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
unset(ENV{DESTDIR})

# dpkg-shlibdeps knows the package's folder by its DEBIAN/, which
# dpkg-gencontrol counts in Installed-Size, as in any package debhelper makes.
file(MAKE_DIRECTORY ${stage}/DEBIAN)
execute_process(COMMAND dpkg-shlibdeps -e${stage}/usr/bin/md5tool
                WORKING_DIRECTORY ${BUILD_DIR} COMMAND_ERROR_IS_FATAL ANY)
# Written where it goes, without the list of built files for an upload.
execute_process(COMMAND dpkg-gencontrol -pmd5tool -l${CHANGELOG} -P${stage} -O${stage}/DEBIAN/control
                WORKING_DIRECTORY ${BUILD_DIR} COMMAND_ERROR_IS_FATAL ANY)

# The digests that dpkg --verify checks the installed files against; dpkg-deb
# makes none, debhelper's dh_md5sums would.
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${stage} ${stage}/usr/*)
list(SORT files)
execute_process(COMMAND md5sum ${files} WORKING_DIRECTORY ${stage}
                OUTPUT_FILE ${stage}/DEBIAN/md5sums COMMAND_ERROR_IS_FATAL ANY)

# Folders that the install made and the control files follow the umask;
# install() gave the installed files their modes already.
execute_process(COMMAND chmod -R u=rwX,go=rX ${stage} COMMAND_ERROR_IS_FATAL ANY)
# dpkg-deb only brings later times back to SOURCE_DATE_EPOCH.
file(GLOB_RECURSE entries LIST_DIRECTORIES true ${stage}/*)
execute_process(COMMAND touch --no-dereference --date=@$ENV{SOURCE_DATE_EPOCH} ${stage} ${entries}
                COMMAND_ERROR_IS_FATAL ANY)

execute_process(COMMAND dpkg-deb --root-owner-group --build ${stage} ${DEB_FILE} COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND sha256sum ${deb_name} WORKING_DIRECTORY ${deb_dir}
                OUTPUT_FILE ${deb_dir}/SHA256SUMS COMMAND_ERROR_IS_FATAL ANY)
