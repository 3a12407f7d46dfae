# The Debian package of the installed files, made by dpkg's own tools:
#   cmake --build <build> --target deb
# writes md5tool_<version>_<architecture>.deb and its SHA256SUMS into the build
# folder (cmake/build-deb.cmake does the steps). dpkg-deb over a staged install
# rather than debhelper: dh would configure and build the program again in a
# folder of its own, and dpkg-buildpackage writes the package beside the
# sources, outside the build folder.
find_program(DPKG_ARCHITECTURE dpkg-architecture)
if(NOT DPKG_ARCHITECTURE)
    message(FATAL_ERROR "dpkg-architecture not found (Debian package dpkg-dev): it names the package's architecture")
endif()
execute_process(COMMAND ${DPKG_ARCHITECTURE} -qDEB_HOST_ARCH
                OUTPUT_VARIABLE DEB_HOST_ARCH OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
set(DEB_FILE ${PROJECT_BINARY_DIR}/md5tool_${PROJECT_VERSION}_${DEB_HOST_ARCH}.deb)

# The package that has the Wayland plugin of the Qt that the program links.
if(MD5TOOL_QT_MAJOR STREQUAL "6")
    set(QT_WAYLAND_PACKAGE qt6-wayland)
else()
    set(QT_WAYLAND_PACKAGE qtwayland5)
endif()
# Where dpkg-shlibdeps, run in the build folder, looks for it.
configure_file(${PROJECT_SOURCE_DIR}/resources/control.in ${PROJECT_BINARY_DIR}/debian/control @ONLY)

# Made afresh at each request, like the install it packages.
add_custom_target(deb
    COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${PROJECT_BINARY_DIR} -DCHANGELOG=${MD5TOOL_CHANGELOG}
            -DDEB_FILE=${DEB_FILE} -P ${PROJECT_SOURCE_DIR}/cmake/build-deb.cmake
    VERBATIM)
add_dependencies(deb md5tool compressed_docs)
