# Installs the program where desktops look for it: the executable, its menu
# entry and its icon in the hicolor theme, both the drawing and the pictures
# rendered from it; its AppStream metadata for software centres; its manual
# page, changelog and copyright in the places and forms that Debian asks for.
include(GNUInstallDirs)

set(APPSTREAM_ID invalid.md5tool.md5tool)

install(TARGETS md5tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/resources/md5tool.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/${APPSTREAM_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(ICON_THEME_DIR ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
foreach(size ${ICON_SIZES})
    install(FILES ${ICON_DIR}/hicolor/${size}x${size}/apps/md5tool.png
            DESTINATION ${ICON_THEME_DIR}/${size}x${size}/apps)
endforeach()
install(FILES ${ICON_SOURCE} DESTINATION ${ICON_THEME_DIR}/scalable/apps)

# Compressed at the highest level and without a time stamp, so that the same
# sources always give the same bytes.
set(compressed_docs)
foreach(doc md5tool.1 changelog)
    set(compressed ${PROJECT_BINARY_DIR}/${doc}.gz)
    add_custom_command(OUTPUT ${compressed}
                       COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/resources/${doc}
                               ${PROJECT_BINARY_DIR}/${doc}
                       COMMAND gzip -9nf ${PROJECT_BINARY_DIR}/${doc}
                       DEPENDS ${PROJECT_SOURCE_DIR}/resources/${doc}
                       VERBATIM)
    list(APPEND compressed_docs ${compressed})
endforeach()
add_custom_target(compressed_docs ALL DEPENDS ${compressed_docs})

install(FILES ${PROJECT_BINARY_DIR}/md5tool.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# Named after the package; CMAKE_INSTALL_DOCDIR would take the CMake project's name.
install(FILES ${PROJECT_BINARY_DIR}/changelog.gz ${PROJECT_SOURCE_DIR}/resources/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/md5tool)
