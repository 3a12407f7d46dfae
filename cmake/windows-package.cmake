# What Windows users download, built with the program: a zip that holds the
# program, its licence and a short readme, and an installer made by NSIS.
set(WINDOWS_PACKAGE_NAME md5tool-${PROJECT_VERSION}-windows-${CMAKE_SYSTEM_PROCESSOR})
set(windows_zip ${CMAKE_BINARY_DIR}/${WINDOWS_PACKAGE_NAME}.zip)
set(WINDOWS_SETUP ${CMAKE_BINARY_DIR}/md5tool-${PROJECT_VERSION}-setup.exe)
set(zip_dir ${CMAKE_BINARY_DIR}/zip/${WINDOWS_PACKAGE_NAME})

find_program(MAKENSIS makensis REQUIRED)

# Entries dated as the newest change, so that the same sources give the same zip.
execute_process(COMMAND dpkg-parsechangelog -l ${PROJECT_SOURCE_DIR}/resources/changelog -SDate
                OUTPUT_VARIABLE source_date OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)

add_custom_command(OUTPUT ${windows_zip}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${CMAKE_BINARY_DIR}/zip
    COMMAND ${CMAKE_COMMAND} -E make_directory ${zip_dir}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:md5tool> ${zip_dir}/md5tool.exe
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/LICENSE ${zip_dir}/LICENSE.txt
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/resources/windows-readme.txt ${zip_dir}/README.txt
    COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/zip
            ${CMAKE_COMMAND} -E tar cf ${windows_zip} --format=zip "--mtime=${source_date}"
            ${WINDOWS_PACKAGE_NAME}/LICENSE.txt ${WINDOWS_PACKAGE_NAME}/README.txt ${WINDOWS_PACKAGE_NAME}/md5tool.exe
    DEPENDS md5tool ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/resources/windows-readme.txt
    VERBATIM)

add_custom_command(OUTPUT ${WINDOWS_SETUP}
    COMMAND ${MAKENSIS} -V2 -INPUTCHARSET UTF8 -DVERSION=${PROJECT_VERSION}
            -DEXE=$<TARGET_FILE:md5tool> -DLICENSE=${PROJECT_SOURCE_DIR}/LICENSE
            -DICON=${PROJECT_SOURCE_DIR}/resources/app.ico -DOUTFILE=${WINDOWS_SETUP}
            ${PROJECT_SOURCE_DIR}/resources/md5tool.nsi
    DEPENDS md5tool ${PROJECT_SOURCE_DIR}/resources/md5tool.nsi ${PROJECT_SOURCE_DIR}/LICENSE
    VERBATIM)

add_custom_target(windows_packages ALL DEPENDS ${windows_zip} ${WINDOWS_SETUP})
