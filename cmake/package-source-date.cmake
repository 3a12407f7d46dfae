# Read by cpack before it builds the package. Every time stamp in the package
# (its members, every file and folder in them, their compressed headers) is
# taken from one source date, as Debian's tools take it: SOURCE_DATE_EPOCH when
# the builder sets it, else the date of the changelog's newest entry. CPack
# uses SOURCE_DATE_EPOCH from its own environment, so setting it here is
# enough.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND dpkg-parsechangelog -l ${CPACK_MD5TOOL_CHANGELOG} -STimestamp
                    OUTPUT_VARIABLE source_date ERROR_VARIABLE error
                    RESULT_VARIABLE status OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT status EQUAL 0 OR NOT source_date MATCHES "^[0-9]+$")
        message(FATAL_ERROR "cannot read the date of ${CPACK_MD5TOOL_CHANGELOG} "
                            "(dpkg-parsechangelog, Debian package dpkg-dev): ${status} ${error}")
    endif()
    set(ENV{SOURCE_DATE_EPOCH} ${source_date})
endif()
