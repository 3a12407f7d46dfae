# A Debian package of the installed files: cpack -G DEB in the build folder.
set(CPACK_PACKAGE_NAME md5tool)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Small desktop tool that shows the MD5 digest of a text or a file")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "A window, with its texts in Chinese, that shows the MD5 digest of a text typed
into it or of a file dragged onto it, as 32 hexadecimal digits that can be
selected and copied. Files of any size are read piece by piece; a long digest
shows its progress and can be cancelled. It has its own MD5 engine, faster
than OpenSSL's. It reads files but never writes any, keeps no settings and has
no network access.")
# The project has no domain of its own, so its address is in the reserved
# .invalid domain, like its AppStream id; resources/changelog signs with it too.
set(CPACK_PACKAGE_CONTACT "md5tool developers <developers@md5tool.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# The Qt libraries are found by dpkg-shlibdeps; the Chinese texts also need a
# font that has the glyphs, which no library link reveals.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-zenhei | fonts-noto-cjk | fonts-wqy-microhei")
# Qt's Wayland platform plugin, so that the window is native on a Wayland
# desktop rather than drawn through XWayland, blurred at any scale but 1.
if(MD5TOOL_QT_MAJOR STREQUAL "6")
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
else()
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qtwayland5)
endif()

# The same sources give the same package bytes, whenever, wherever and under
# whatever umask they are built: one source date for every time stamp, folders
# 0755 and fixed modes for the ar members. CPack itself writes every entry as
# root:root, and install() gives each file its mode.
set(CPACK_MD5TOOL_CHANGELOG ${PROJECT_SOURCE_DIR}/resources/changelog)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/package-source-date.cmake)
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/package-folder-modes.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/package-rewrite.cmake)
include(CPack)
