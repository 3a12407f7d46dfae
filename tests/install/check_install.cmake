# Installs BUILD_DIR into the empty folder STAGE_DIR and checks that exactly the
# expected files arrive, that the desktop entry names the installed program
# and icon, that the AppStream metadata launches the installed desktop entry,
# and that each picture of the icon is as large as its theme folder says.

cmake_minimum_required(VERSION 3.15)

file(REMOVE_RECURSE ${STAGE_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${STAGE_DIR}
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

set(icon_sizes 48 128 256)
set(metainfo share/metainfo/${APPSTREAM_ID}.metainfo.xml)
set(expected bin/md5tool share/applications/md5tool.desktop ${metainfo}
             share/man/man1/md5tool.1.gz
             share/doc/md5tool/changelog.gz share/doc/md5tool/copyright
             share/icons/hicolor/scalable/apps/md5tool.svg)
foreach(size ${icon_sizes})
    list(APPEND expected share/icons/hicolor/${size}x${size}/apps/md5tool.png)
endforeach()
list(SORT expected)
file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE ${STAGE_DIR} ${STAGE_DIR}/*)
list(SORT installed)
if(NOT installed STREQUAL expected)
    message(FATAL_ERROR "installed files:\n  ${installed}\nexpected:\n  ${expected}")
endif()

file(STRINGS ${STAGE_DIR}/share/applications/md5tool.desktop exec REGEX "^Exec=")
file(STRINGS ${STAGE_DIR}/share/applications/md5tool.desktop icon REGEX "^Icon=")
if(NOT exec STREQUAL "Exec=md5tool" OR NOT icon STREQUAL "Icon=md5tool")
    message(FATAL_ERROR "desktop entry starts '${exec}' with icon '${icon}', "
                        "not the installed md5tool")
endif()

file(STRINGS ${STAGE_DIR}/${metainfo} launchable REGEX "<launchable ")
string(REGEX REPLACE ".*>([^<]*)</launchable>.*" "\\1" desktop_id "${launchable}")
if(NOT share/applications/${desktop_id} IN_LIST installed)
    message(FATAL_ERROR "${metainfo} launches '${desktop_id}', "
                        "not an installed desktop entry")
endif()

# A PNG's width and height are the two big-endian words at byte 16.
foreach(size ${icon_sizes})
    set(png ${STAGE_DIR}/share/icons/hicolor/${size}x${size}/apps/md5tool.png)
    file(READ ${png} header OFFSET 16 LIMIT 8 HEX)
    string(SUBSTRING ${header} 0 8 width_hex)
    string(SUBSTRING ${header} 8 8 height_hex)
    math(EXPR width "0x${width_hex}")
    math(EXPR height "0x${height_hex}")
    if(NOT width EQUAL size OR NOT height EQUAL size)
        message(FATAL_ERROR "${png} is ${width}x${height}, not ${size}x${size}")
    endif()
endforeach()
