# Run by cpack between installing into its staging folder and building the
# package. The folders that the install creates follow the builder's umask
# (mkdir applies it even to the mode CPack asks for); the package's folders
# are 0755 whatever it is. Files need nothing: install() gives each its mode.
file(GLOB_RECURSE entries LIST_DIRECTORIES true ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*)
foreach(entry ${entries})
    if(IS_DIRECTORY ${entry} AND NOT IS_SYMLINK ${entry})
        file(CHMOD ${entry} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
                                                  GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    endif()
endforeach()
