# Compiles RC_FILE to the COFF object RES_FILE with the MinGW resource
# compiler, finding the icon that the build rendered in INCLUDE_DIR and what
# else it names beside it, then reads the object back and checks the icon
# group and the version VERSION in it.

find_program(WINDRES x86_64-w64-mingw32-windres)
if(NOT WINDRES)
    message(FATAL_ERROR "x86_64-w64-mingw32-windres not found "
                        "(Debian package binutils-mingw-w64-x86-64)")
endif()

# The host compiler preprocesses, so no MinGW C compiler is needed; the
# script uses no headers.
set(preprocess --preprocessor=${PREPROCESSOR} --preprocessor-arg=-E
               --preprocessor-arg=-xc --preprocessor-arg=-DRC_INVOKED)

file(REMOVE ${RES_FILE})
execute_process(COMMAND ${WINDRES} ${preprocess} -I ${INCLUDE_DIR} -O coff -o ${RES_FILE} ${RC_FILE}
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "windres failed on ${RC_FILE}: ${status}")
endif()
file(SIZE ${RES_FILE} res_size)
if(res_size EQUAL 0)
    message(FATAL_ERROR "windres wrote an empty ${RES_FILE}")
endif()

execute_process(COMMAND ${WINDRES} -J coff -i ${RES_FILE} -O rc
                OUTPUT_VARIABLE decompiled RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "windres could not read back ${RES_FILE}: ${status}")
endif()

# One group entry: width 0 (256), height 146 (octal 222), 32 bits per pixel.
set(expected
    "\"IDI_ICON1\" 14 /\\* RT_GROUP_ICON \\*/"
    "Has 1 elements"
    "\"\\\\000\\\\222\\\\000\\\\000\", 1, 32,"
    "BLOCK \"080404b0\""
    "VALUE \"FileVersion\", \"${VERSION}\""
    "VALUE \"ProductVersion\", \"${VERSION}\""
    "VALUE \"OriginalFilename\", \"md5tool.exe\""
    "VALUE \"Translation\", 0x804, 1200"
    "name=\"\"md5tool\"\" version=\"\"${VERSION}\"\"")
foreach(pattern IN LISTS expected)
    if(NOT decompiled MATCHES "${pattern}")
        message(FATAL_ERROR "compiled resources lack ${pattern}")
    endif()
endforeach()

# Zero versions are left out of the decompiled header; any other is a fault.
if(VERSION STREQUAL "0.0.0.0" AND decompiled MATCHES "(FILE|PRODUCT)VERSION")
    message(FATAL_ERROR "version record carries a non-zero version")
endif()
