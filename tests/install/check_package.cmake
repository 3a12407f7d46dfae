# Builds the Debian package of BUILD_DIR into the empty folder STAGE_DIR and
# checks that it holds exactly the installed files under /usr and depends on
# the Qt 5 libraries and a font with Chinese glyphs.

file(REMOVE_RECURSE ${STAGE_DIR})
execute_process(COMMAND ${CPACK_COMMAND} -G DEB --config ${BUILD_DIR}/CPackConfig.cmake
                        -B ${STAGE_DIR}
                OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE status)
file(GLOB package ${STAGE_DIR}/*.deb)
list(LENGTH package package_count)
if(NOT status EQUAL 0 OR NOT package_count EQUAL 1)
    message(FATAL_ERROR "cpack failed (${status}):\n${output}")
endif()

execute_process(COMMAND dpkg-deb --field ${package} Depends
                OUTPUT_VARIABLE depends RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "dpkg-deb cannot read ${package}")
endif()
foreach(dependency libqt5core5a libqt5gui5 libqt5widgets5 fonts-wqy-zenhei)
    if(NOT depends MATCHES "(^|[ ,|])${dependency}([ ,]|$)")
        message(FATAL_ERROR "the package does not depend on ${dependency}: ${depends}")
    endif()
endforeach()

execute_process(COMMAND dpkg-deb --contents ${package} OUTPUT_VARIABLE listing)
string(REGEX MATCHALL "\\./usr/[^\n]*[^/\n]\n" files "${listing}")
string(REPLACE "\n" "" files "${files}")
list(SORT files)
set(expected ./usr/bin/md5tool ./usr/share/applications/md5tool.desktop
             ./usr/share/metainfo/invalid.md5tool.md5tool.metainfo.xml
             ./usr/share/man/man1/md5tool.1.gz
             ./usr/share/doc/md5tool/changelog.gz ./usr/share/doc/md5tool/copyright)
foreach(size 48 128 256)
    list(APPEND expected ./usr/share/icons/hicolor/${size}x${size}/apps/md5tool.png)
endforeach()
list(SORT expected)
if(NOT files STREQUAL expected)
    message(FATAL_ERROR "package files:\n  ${files}\nexpected:\n  ${expected}")
endif()
