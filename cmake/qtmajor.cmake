# Qt 5 is the default; the same sources also build against Qt 6. Targets are
# named Qt${MD5TOOL_QT_MAJOR}::X because Qt 5 before 5.15 has no versionless
# Qt::X targets.
set(MD5TOOL_QT_MAJOR 5 CACHE STRING "Major version of Qt to build against: 5 or 6")
set_property(CACHE MD5TOOL_QT_MAJOR PROPERTY STRINGS 5 6)
if(MD5TOOL_QT_MAJOR STREQUAL "5")
    set(MD5TOOL_QT_MINIMUM 5.9)
elseif(MD5TOOL_QT_MAJOR STREQUAL "6")
    set(MD5TOOL_QT_MINIMUM 6.4)
else()
    message(FATAL_ERROR "MD5TOOL_QT_MAJOR must be 5 or 6, not '${MD5TOOL_QT_MAJOR}'")
endif()
