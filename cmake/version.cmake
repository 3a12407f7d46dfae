# project(VERSION) is the program's one version. The changelog's newest entry,
# which dates the packages and names the Debian package's version, must agree
# with it; the Windows resources are configured from it.
find_program(DPKG_PARSECHANGELOG dpkg-parsechangelog)
if(NOT DPKG_PARSECHANGELOG)
    message(FATAL_ERROR "dpkg-parsechangelog not found (Debian package dpkg-dev): "
                        "it reads the version and date of resources/changelog")
endif()
set(MD5TOOL_CHANGELOG ${PROJECT_SOURCE_DIR}/resources/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${MD5TOOL_CHANGELOG})
execute_process(COMMAND ${DPKG_PARSECHANGELOG} -l ${MD5TOOL_CHANGELOG} -SVersion
                OUTPUT_VARIABLE changelog_version OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
if(NOT changelog_version STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "The newest entry of resources/changelog is version '${changelog_version}', "
                        "but CMakeLists.txt says project(VERSION ${PROJECT_VERSION}): add an entry for "
                        "${PROJECT_VERSION} at the top of the changelog, or set the project's version to its.")
endif()
# The Debian package, the Windows version record and the installer take three
# numbers, to which Windows adds a fourth.
if(NOT PROJECT_VERSION MATCHES "^[0-9]+\\.[0-9]+\\.[0-9]+$")
    message(FATAL_ERROR "project(VERSION ${PROJECT_VERSION}) must be three numbers, MAJOR.MINOR.PATCH")
endif()
set(MD5TOOL_WINDOWS_VERSION ${PROJECT_VERSION}.0)
string(REPLACE "." "," MD5TOOL_WINDOWS_VERSION_COMMAS ${MD5TOOL_WINDOWS_VERSION})

# Configured on every platform, so that their versions are checked on Linux too.
set(MD5TOOL_RESOURCES_DIR ${PROJECT_BINARY_DIR}/resources)
configure_file(${PROJECT_SOURCE_DIR}/resources/app.rc ${MD5TOOL_RESOURCES_DIR}/app.rc @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/resources/md5tool.manifest.in ${MD5TOOL_RESOURCES_DIR}/md5tool.manifest @ONLY)
