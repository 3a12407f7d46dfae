# Run by cpack after it builds the package. CPack gives each member of the
# package's ar archive (debian-binary, control.tar.*, data.tar.*) the mode of
# its temporary file, which follows the builder's umask; this sets them all to
# 0644, as dpkg-deb does, so that any umask gives the same bytes.
#
# An ar archive is "!<arch>\n" and then, for each member, a 60-byte text
# header followed by the member's bytes, padded to an even length. The header
# holds the mode, in octal, in the 8 bytes at 40 and the size, in decimal, in
# the 10 bytes at 48.
foreach(package ${CPACK_PACKAGE_FILES})
    file(SIZE ${package} package_size)
    set(header_offset 8)
    while(header_offset LESS package_size)
        file(READ ${package} header OFFSET ${header_offset} LIMIT 60)
        string(SUBSTRING "${header}" 48 10 member_size)
        string(STRIP "${member_size}" member_size)
        if(NOT member_size MATCHES "^[0-9]+$")
            message(FATAL_ERROR "${package}: no ar member header at byte ${header_offset}")
        endif()
        math(EXPR mode_offset "${header_offset} + 40")
        execute_process(COMMAND printf "%-8s" 100644
                        COMMAND dd of=${package} bs=1 seek=${mode_offset} conv=notrunc status=none
                        RESULT_VARIABLE status)
        if(NOT status EQUAL 0)
            message(FATAL_ERROR "${package}: cannot write the mode of the member at byte ${header_offset}")
        endif()
        math(EXPR header_offset "${header_offset} + 60 + ${member_size} + ${member_size} % 2")
    endwhile()
endforeach()
