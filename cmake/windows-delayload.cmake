# Windows looks for a DLL that a program imports in the program's own folder
# before the system's, unless the DLL is a KnownDLL. md5tool.exe is mostly run
# from Downloads, where an earlier download may have left a version.dll. So
# each DLL that Qt links in and that is not a KnownDLL is delay-loaded
# instead: loaded by name at its first call, after main has narrowed the
# search to the system folder (app/librarysearch_windows.cpp). That holds from
# Windows 7 SP1 on; the linker's DependentLoadFlags would do it for imports
# only from Windows 10 1607 on.

# The KnownDLLs that Windows 7 SP1, 8.1, 10 and 11 all list, and ntdll, which
# every process has before its own code runs.
set(WINDOWS_KNOWN_DLLS advapi32 clbcatq comdlg32 difxapi gdi32 imagehlp imm32 kernel32 msctf msvcrt normaliz nsi
    ntdll ole32 oleaut32 psapi rpcrt4 sechost setupapi shell32 shlwapi user32 wldap32 ws2_32)

# Qt's targets link MinGW-w64's import libraries by full path; each whose DLL
# is not a KnownDLL is swapped for a delay-load library of the same DLL. An
# import library that ever comes into Qt's link is thus delay-loaded too, and
# one linked from elsewhere fails the windows_exe test. dlltool makes a
# delay-load library from a list of functions only: those of the import
# library. Its thunk keeps the integer argument registers alone across the
# load, so a function with floating-point arguments would get them garbled on
# its first call; none of those that Qt calls from these DLLs has any.
set(WINDOWS_DELAYLOAD_DIR ${CMAKE_BINARY_DIR}/delayload)
file(MAKE_DIRECTORY ${WINDOWS_DELAYLOAD_DIR})
find_library(delay_helper delayimp REQUIRED)
get_property(qt_targets DIRECTORY PROPERTY IMPORTED_TARGETS)
set(libraries)
foreach(target ${qt_targets})
    get_target_property(link ${target} INTERFACE_LINK_LIBRARIES)
    string(REGEX MATCHALL "/[^;<>]+\\.a" found "${link}")
    list(APPEND libraries ${found})
endforeach()
list(REMOVE_DUPLICATES libraries)

foreach(library ${libraries})
    # Qt's own static libraries and uuid's are no import libraries.
    execute_process(COMMAND ${CMAKE_DLLTOOL} --identify ${library}
                    OUTPUT_VARIABLE dll RESULT_VARIABLE status OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    get_filename_component(name "${dll}" NAME_WE)
    string(TOLOWER "${name}" name)
    if(NOT status EQUAL 0 OR name IN_LIST WINDOWS_KNOWN_DLLS)
        continue()
    endif()
    execute_process(COMMAND ${CMAKE_NM} --defined-only ${library} OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX MATCHALL " T [^\r\n]+" functions "${symbols}")
    string(REPLACE " T " "\n" functions "${functions}")
    string(REPLACE ";" "" functions "${functions}")
    set(def_file ${WINDOWS_DELAYLOAD_DIR}/${name}.def)
    set(delay_library ${WINDOWS_DELAYLOAD_DIR}/lib${name}.a)
    set(def "LIBRARY ${dll}\nEXPORTS${functions}\n")
    # Made anew only when it changes, so that configuring again relinks nothing.
    set(old_def)
    if(EXISTS ${def_file} AND EXISTS ${delay_library})
        file(READ ${def_file} old_def)
    endif()
    if(NOT def STREQUAL old_def)
        file(WRITE ${def_file} "${def}")
        execute_process(COMMAND ${CMAKE_DLLTOOL} --input-def ${def_file} --output-delaylib ${delay_library}
                                --deterministic-libraries
                        COMMAND_ERROR_IS_FATAL ANY)
    endif()
    foreach(target ${qt_targets})
        get_target_property(link ${target} INTERFACE_LINK_LIBRARIES)
        if(link)
            string(REPLACE "${library}" "${delay_library};${delay_helper}" link "${link}")
            set_target_properties(${target} PROPERTIES INTERFACE_LINK_LIBRARIES "${link}")
        endif()
    endforeach()
endforeach()

# The delay-load helper writes each function it resolves into .idata, which
# binutils 2.44 (Debian 13) makes read-only: every program gets the section's
# write bit back once linked (writable-import-table.pl says why it is a tool
# of the project's own).
find_program(PERL perl REQUIRED)
list(APPEND CMAKE_CXX_LINK_EXECUTABLE "${PERL} ${CMAKE_CURRENT_LIST_DIR}/writable-import-table.pl <TARGET>")
