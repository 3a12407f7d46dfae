# Builds the Debian package PACKAGE of BUILD_DIR with its deb target, under a
# umask that would keep folders from others, and checks that it holds
# exactly what the install puts under its prefix, owned by root with the modes
# Debian asks for, with a changelog of the package's version, that it depends
# on the packages that hold the Qt Core, Gui and Widgets libraries PROGRAM
# links and on one that holds a font with Chinese glyphs, and that it
# recommends the one that holds QT_WAYLAND_PLUGIN, the Wayland plugin of that
# Qt. The package names are looked up on this machine, since they differ
# between releases and Qt versions. Also that SHA256SUMS gives its digest, and
# that its entries are dated SOURCE_DATE_EPOCH, else CHANGELOG's newest date.

cmake_minimum_required(VERSION 3.15)

file(REMOVE_RECURSE ${STAGE_DIR})
file(MAKE_DIRECTORY ${STAGE_DIR})
set(package ${PACKAGE})
function(build_package_dated date)
    execute_process(COMMAND sh -c "umask 027 && exec \"$0\" \"$@\"" ${CMAKE_COMMAND} --build ${BUILD_DIR} --target deb
                    OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE status)
    execute_process(COMMAND env TZ=UTC0 dpkg-deb --contents ${package} OUTPUT_VARIABLE entries)
    string(REGEX MATCHALL " [0-9-]+ [0-9:]+ " dates "${entries}")
    list(REMOVE_DUPLICATES dates)
    if(NOT status EQUAL 0 OR NOT dates STREQUAL " ${date} ")
        message(FATAL_ERROR "the deb target (${status}) dated the entries${dates}, not ${date}:\n${output}")
    endif()
endfunction()
# Even entries older than SOURCE_DATE_EPOCH are dated by it.
set(ENV{SOURCE_DATE_EPOCH} 4102444800)
build_package_dated("2100-01-01 00:00")
unset(ENV{SOURCE_DATE_EPOCH})
execute_process(COMMAND dpkg-parsechangelog -l ${CHANGELOG} -STimestamp
                COMMAND xargs -I{} date -u -d @{} "+%Y-%m-%d %H:%M" OUTPUT_VARIABLE date OUTPUT_STRIP_TRAILING_WHITESPACE)
build_package_dated("${date}")

file(SHA256 ${package} digest)
get_filename_component(package_name ${package} NAME)
file(READ ${BUILD_DIR}/SHA256SUMS sums)
if(NOT sums STREQUAL "${digest}  ${package_name}\n")
    message(FATAL_ERROR "SHA256SUMS is '${sums}', not sha256sum's line for ${package_name}: ${digest}")
endif()

function(run)
    execute_process(COMMAND ${ARGN} OUTPUT_VARIABLE output ERROR_VARIABLE output
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        list(JOIN ARGN " " command)
        message(FATAL_ERROR "${command} failed (${status}):\n${output}")
    endif()
endfunction()

# The package's files against an install of the same build.
run(dpkg-deb --extract ${package} ${STAGE_DIR}/package)
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${STAGE_DIR}/install/usr)
foreach(tree package install)
    file(GLOB_RECURSE ${tree}_files LIST_DIRECTORIES false RELATIVE ${STAGE_DIR}/${tree}
         ${STAGE_DIR}/${tree}/*)
    list(SORT ${tree}_files)
endforeach()
if(NOT package_files STREQUAL install_files)
    message(FATAL_ERROR "package files:\n  ${package_files}\ninstalled files:\n  ${install_files}")
endif()

# Each entry as tar lists it: "drwxr-xr-x root/root 0 2026-12-07 09:00 ./usr/".
# Their sizes add up to the Installed-Size that dpkg-gencontrol gives: a
# regular file counts its size rounded up to whole KiB, every other entry one
# KiB. A symbolic link counts its own size, its target's name, which tar lists
# as 0 but which, under 1 KiB, rounds up to one as well. dpkg-gencontrol
# counts the empty control folder, DEBIAN/, too.
execute_process(COMMAND dpkg-deb --contents ${package} OUTPUT_VARIABLE entries)
string(REGEX REPLACE "\n$" "" entries "${entries}")
string(REPLACE "\n" ";" entries "${entries}")
set(installed_kib 1)
foreach(entry ${entries})
    if(entry MATCHES "^-[^ ]* [^ ]+ +([0-9]+) ")
        math(EXPR installed_kib "${installed_kib} + (${CMAKE_MATCH_1} + 1023) / 1024")
    else()
        math(EXPR installed_kib "${installed_kib} + 1")
    endif()
    if(entry MATCHES "^d")
        set(expected_mode drwxr-xr-x)
    elseif(entry MATCHES " \\./usr/bin/md5tool$")
        set(expected_mode -rwxr-xr-x)
    else()
        set(expected_mode -rw-r--r--)
    endif()
    if(NOT entry MATCHES "^${expected_mode} root/root ")
        message(FATAL_ERROR "not ${expected_mode} root/root: ${entry}")
    endif()
endforeach()
execute_process(COMMAND dpkg-deb --field ${package} Installed-Size
                OUTPUT_VARIABLE installed_size OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT installed_size STREQUAL installed_kib)
    message(FATAL_ERROR "Installed-Size is '${installed_size}', its entries add up to ${installed_kib} KiB")
endif()

execute_process(COMMAND dpkg-deb --field ${package} Version Depends Recommends
                OUTPUT_VARIABLE fields RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT fields MATCHES "Version: ([^\n]+)\nDepends: ([^\n]+)\nRecommends: ([^\n]+)")
    message(FATAL_ERROR "dpkg-deb cannot read ${package}")
endif()
set(version ${CMAKE_MATCH_1})
set(depends ${CMAKE_MATCH_2})
set(recommends ${CMAKE_MATCH_3})

execute_process(COMMAND gzip -dc ${STAGE_DIR}/package/usr/share/doc/md5tool/changelog.gz
                COMMAND dpkg-parsechangelog -l- -SVersion
                OUTPUT_VARIABLE changelog_version OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT changelog_version STREQUAL version)
    message(FATAL_ERROR "the changelog's last entry is '${changelog_version}', "
                        "the package's version ${version}")
endif()

# Every package that a relation field names, alternatives too, without versions.
function(packages_named result field)
    string(REGEX REPLACE "\\([^)]*\\)| " "" names "${field}")
    string(REGEX REPLACE "[,|]" ";" names "${names}")
    set(${result} ${names} PARENT_SCOPE)
endfunction()
packages_named(depended "${depends}")
packages_named(recommended "${recommends}")

# Sets result to the packages that hold any of the files; dpkg prints lines
# "package[:arch][, package...]: file".
function(owners_of result)
    execute_process(COMMAND dpkg-query --search ${ARGN} OUTPUT_VARIABLE lines)
    string(REGEX MATCHALL "[^\n]+: /" owned "${lines}")
    string(REGEX REPLACE "(:[a-z0-9]+)?: /|," ";" owned "${owned}")
    string(REPLACE " " "" owned "${owned}")
    list(REMOVE_ITEM owned "")
    set(${result} ${owned} PARENT_SCOPE)
endfunction()

# Fails unless the relation (depended or recommended) names one of the packages.
function(require_one_of relation what)
    foreach(name ${ARGN})
        if(name IN_LIST ${relation})
            return()
        endif()
    endforeach()
    message(FATAL_ERROR "the package's ${relation} names none of ${ARGN} (${what}): ${depends} / ${recommends}")
endfunction()

execute_process(COMMAND ldd ${PROGRAM} OUTPUT_VARIABLE linked)
foreach(module Core Gui Widgets)
    if(NOT linked MATCHES "libQt[0-9]+${module}\\.so[^ ]* => ([^ ]+)")
        message(FATAL_ERROR "${PROGRAM} does not link Qt ${module}:\n${linked}")
    endif()
    # ldd may name it through /lib, which dpkg does not know on a merged /usr.
    get_filename_component(library ${CMAKE_MATCH_1} REALPATH)
    owners_of(owners ${library})
    if(NOT owners)
        message(FATAL_ERROR "no package holds ${library}")
    endif()
    require_one_of(depended "Qt ${module}" ${owners})
endforeach()

execute_process(COMMAND fc-list --format "%{file}\n" :lang=zh OUTPUT_VARIABLE fonts)
string(REPLACE "\n" ";" fonts "${fonts}")
list(REMOVE_ITEM fonts "")
if(NOT fonts)
    message(FATAL_ERROR "no font with Chinese glyphs is installed here to check against")
endif()
owners_of(owners ${fonts})
require_one_of(depended "Chinese font" ${owners})

owners_of(owners ${QT_WAYLAND_PLUGIN})
if(NOT owners)
    message(FATAL_ERROR "no package holds ${QT_WAYLAND_PLUGIN}")
endif()
require_one_of(recommended "Qt's Wayland plugin" ${owners})
