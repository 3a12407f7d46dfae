# What Windows users download, built with the program: a zip that holds the
# program, its licence and a short readme, an installer made by NSIS, and
# SHA256SUMS, their digests as sha256sum writes them, to check a download by.
set(WINDOWS_PACKAGE_NAME md5tool-${PROJECT_VERSION}-windows-${CMAKE_SYSTEM_PROCESSOR})
set(WINDOWS_SETUP ${CMAKE_BINARY_DIR}/md5tool-${PROJECT_VERSION}-setup.exe)
set(WINDOWS_ZIP ${CMAKE_BINARY_DIR}/${WINDOWS_PACKAGE_NAME}.zip)
set(WINDOWS_SUMS ${CMAKE_BINARY_DIR}/SHA256SUMS)
set(zip_dir ${CMAKE_BINARY_DIR}/zip/${WINDOWS_PACKAGE_NAME})

# Notepad before Windows 10 shows a text with bare LF line ends as one long
# line, and may read UTF-8 without a signature in the local code page.
function(windows_text source output signature)
    file(READ ${source} text)
    file(GENERATE OUTPUT ${output} CONTENT "${signature}${text}" NEWLINE_STYLE CRLF)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
endfunction()
string(ASCII 239 187 191 utf8_signature)
set(windows_license ${CMAKE_BINARY_DIR}/windows-text/LICENSE.txt)
set(windows_readme ${CMAKE_BINARY_DIR}/windows-text/README.txt)
windows_text(${PROJECT_SOURCE_DIR}/LICENSE ${windows_license} "")
windows_text(${PROJECT_SOURCE_DIR}/resources/windows-readme.txt ${windows_readme} "${utf8_signature}")

find_program(MAKENSIS makensis REQUIRED)
find_program(ZIP zip REQUIRED)

# Entries dated as the newest change, so that the same sources give the same
# zip. CMake's own zip writer dates them so too, but also stores each file's
# access and change times; Info-ZIP's zip with -X stores none but the date,
# which it writes in local time.
execute_process(COMMAND dpkg-parsechangelog -l ${PROJECT_SOURCE_DIR}/resources/changelog -SDate
                OUTPUT_VARIABLE source_date OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
set(zip_entries ${WINDOWS_PACKAGE_NAME}/LICENSE.txt ${WINDOWS_PACKAGE_NAME}/README.txt
                ${WINDOWS_PACKAGE_NAME}/md5tool.exe)

add_custom_command(OUTPUT ${WINDOWS_ZIP}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${CMAKE_BINARY_DIR}/zip ${WINDOWS_ZIP}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${zip_dir}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:md5tool> ${zip_dir}/md5tool.exe
    COMMAND ${CMAKE_COMMAND} -E copy ${windows_license} ${zip_dir}/LICENSE.txt
    COMMAND ${CMAKE_COMMAND} -E copy ${windows_readme} ${zip_dir}/README.txt
    COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/zip touch -d ${source_date} ${zip_entries}
    COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/zip ${CMAKE_COMMAND} -E env TZ=UTC0
            ${ZIP} -X -q ${WINDOWS_ZIP} ${zip_entries}
    DEPENDS md5tool ${windows_license} ${windows_readme}
    VERBATIM)

add_custom_command(OUTPUT ${WINDOWS_SETUP}
    COMMAND ${MAKENSIS} -V2 -INPUTCHARSET UTF8 -DVERSION=${PROJECT_VERSION}
            -DEXE=$<TARGET_FILE:md5tool> -DLICENSE=${windows_license}
            -DICON=${APP_ICO} -DOUTFILE=${WINDOWS_SETUP}
            ${PROJECT_SOURCE_DIR}/resources/md5tool.nsi
    DEPENDS md5tool ${PROJECT_SOURCE_DIR}/resources/md5tool.nsi ${windows_license} ${APP_ICO}
    VERBATIM)

get_filename_component(setup_name ${WINDOWS_SETUP} NAME)
get_filename_component(zip_name ${WINDOWS_ZIP} NAME)
add_custom_command(OUTPUT ${WINDOWS_SUMS}
    COMMAND sh -c "sha256sum \"$@\" >SHA256SUMS" sh ${zip_name} ${setup_name}
    DEPENDS ${WINDOWS_ZIP} ${WINDOWS_SETUP}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    VERBATIM)

# The zip on its own too, which the installer test makes again.
add_custom_target(windows_zip DEPENDS ${WINDOWS_ZIP})
add_custom_target(windows_packages ALL DEPENDS ${WINDOWS_SETUP} ${WINDOWS_SUMS})
add_dependencies(windows_packages windows_zip)
