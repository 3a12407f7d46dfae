# A Debian package of the installed files: cpack -G DEB in the build folder.
set(CPACK_PACKAGE_NAME md5tool)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Small desktop tool that shows the MD5 digest of a text or a file")
set(CPACK_PACKAGE_CONTACT "md5tool maintainers <maintainers@users.noreply.c-seed-32cf0546.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# The Qt libraries are found by dpkg-shlibdeps; the Chinese texts also need a
# font that has the glyphs, which no library link reveals.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-zenhei | fonts-noto-cjk | fonts-wqy-microhei")
include(CPack)
