# Installs the program where desktops look for it: the executable, its menu
# entry and its icon in the hicolor theme, drawn from the same artwork as the
# Windows icon.
include(GNUInstallDirs)

install(TARGETS md5tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/resources/md5tool.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

set(ICON_THEME_DIR ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
foreach(size 48x48 128x128)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/hicolor/${size}/apps/md5tool.png
            DESTINATION ${ICON_THEME_DIR}/${size}/apps)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/resources/md5tool.png
        DESTINATION ${ICON_THEME_DIR}/256x256/apps)
