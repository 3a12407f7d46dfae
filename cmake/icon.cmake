# The icon, rendered from its drawing, resources/md5tool.svg, into ICON_DIR:
# the square PNGs of the hicolor theme, which the program also carries for a
# desktop without them, and app.ico, the Windows icon. Every build makes both,
# since the tests of the Windows icon run in the Linux builds too.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
find_program(ICOTOOL icotool REQUIRED)

set(ICON_SOURCE ${PROJECT_SOURCE_DIR}/resources/md5tool.svg)
set(ICON_DIR ${PROJECT_BINARY_DIR}/icon)
set(ICON_SIZES 48 128 256)
set(APP_ICO ${ICON_DIR}/app.ico)

set(rendered_icons ${APP_ICO})
foreach(size ${ICON_SIZES})
    set(png ${ICON_DIR}/hicolor/${size}x${size}/apps/md5tool.png)
    get_filename_component(png_dir ${png} DIRECTORY)
    add_custom_command(OUTPUT ${png}
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${png_dir}
                       COMMAND ${RSVG_CONVERT} --width=${size} --height=${size} --output=${png} ${ICON_SOURCE}
                       DEPENDS ${ICON_SOURCE}
                       VERBATIM)
    list(APPEND rendered_icons ${png})
endforeach()

# The Windows icon is the badge alone, 256 x 146, cut from the square that
# centres it 55 units from the top. One 32-bit image whose mask, for readers
# that ignore the alpha channel, marks clear just the pixels of alpha 0.
# icotool takes an image 256 wide for a square and gives its entry a height
# of 0, which means 256: the entry gets the picture's height byte instead,
# the last of the big-endian height in the PNG's header.
set(badge_png ${ICON_DIR}/badge.png)
add_custom_command(OUTPUT ${APP_ICO}
                   COMMAND ${RSVG_CONVERT} --page-width=256 --page-height=146 --top=-55
                           --output=${badge_png} ${ICON_SOURCE}
                   COMMAND ${ICOTOOL} --create --alpha-threshold=0 --output=${APP_ICO} ${badge_png}
                   COMMAND dd if=${badge_png} of=${APP_ICO} bs=1 skip=23 seek=7 count=1 conv=notrunc status=none
                   DEPENDS ${ICON_SOURCE}
                   VERBATIM)

add_custom_target(icons ALL DEPENDS ${rendered_icons})

# Compiled by the program from here, beside the pictures it names.
configure_file(${PROJECT_SOURCE_DIR}/resources/md5tool.qrc ${ICON_DIR}/md5tool.qrc COPYONLY)
