# Run by cpack after it builds the package, to make two of its parts the same
# wherever it is built (cmake/rewrite-deb.sh does the work):
# - CPack's Installed-Size adds up the sizes of the staged files and folders,
#   and a folder's size depends on the filesystem (4 KiB on ext4, less on a
#   tmpfs); the package gets dpkg's own count instead;
# - CPack gives each member of the ar archive the mode of its temporary file,
#   which follows the builder's umask; each gets 0644, as dpkg-deb gives.
foreach(package ${CPACK_PACKAGE_FILES})
    execute_process(COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/rewrite-deb.sh ${package} ${CPACK_TEMPORARY_DIRECTORY}
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "cannot rewrite ${package} (${status})")
    endif()
endforeach()
