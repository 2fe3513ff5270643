# SPDX-License-Identifier: MIT
# The menu's source as built, packed once for both systems' runtimes (packaging/runtime/MenuSource.cmake):
# BRINDLE_MENU_SOURCE is the archive, made by the target menu-source, or given by the build this one
# is part of (the disc's builds against the disc's Qts).
set(BRINDLE_MENU_SOURCE "" CACHE FILEPATH "The menu's source archive, made by the build that contains this one")
mark_as_advanced(BRINDLE_MENU_SOURCE)
if(NOT BRINDLE_MENU_SOURCE)
    set(BRINDLE_MENU_SOURCE ${CMAKE_BINARY_DIR}/menu-source/brindlemoor-${PROJECT_VERSION}-source.tar.xz)
    add_custom_target(menu-source ALL
        COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DOUTPUT=${BRINDLE_MENU_SOURCE}
            -DVERSION=${PROJECT_VERSION} -P ${CMAKE_SOURCE_DIR}/packaging/runtime/MenuSource.cmake
        BYPRODUCTS ${BRINDLE_MENU_SOURCE}
        COMMENT "Packing the menu's source"
        VERBATIM)
endif()
