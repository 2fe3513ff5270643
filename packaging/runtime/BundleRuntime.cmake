# SPDX-License-Identifier: MIT
# Lays out the runtime folder that travels beside the disc's Linux program, which has the disc's
# static Qt and its plugins linked in: the shared libraries it still needs except those left to the
# user's system (those Debian ships without a static archive), the fonts of the menu's design, and
# the licences, notices and sources that must travel with them (RuntimeLicences.cmake).
#
# cmake -DPROGRAM=<disc program> -DRUNTIME=<folder> -DQT_PREFIX=<Qt> -DVERSION=<Qt version>
#       -DSYSTEM_LIST=<file> -DFONT_DIR=<Liberation fonts> -DLICENCES=<licence texts>
#       -DNOTICE=<Licences.txt.in> -DOPTIONS=<Qt's build options> -DARCHIVES=<static archives linked in>
#       -DMENU_SOURCE=<the menu's source archive> -P BundleRuntime.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/RuntimeLicences.cmake)

foreach(input PROGRAM RUNTIME QT_PREFIX VERSION SYSTEM_LIST FONT_DIR LICENCES NOTICE OPTIONS ARCHIVES MENU_SOURCE)
    if(NOT ${input})
        message(FATAL_ERROR "BundleRuntime.cmake needs -D${input}=...")
    endif()
endforeach()
brindle_require_qt_source(${QT_PREFIX})

# The names left to the system, as anchored patterns.
file(STRINGS ${SYSTEM_LIST} names REGEX "^[^#]")
set(excluded)
foreach(name ${names})
    string(STRIP "${name}" name)
    string(REPLACE "." "\\." pattern "${name}")
    string(REPLACE "+" "\\+" pattern "${pattern}")
    string(REPLACE "*" ".*" pattern "${pattern}")
    list(APPEND excluded "^${pattern}$")
endforeach()

# The libraries are resolved from a copy of the program in a folder of its own, so that a runtime
# laid out before beside the program is not taken for the system's libraries.
set(probe ${RUNTIME}.probe)
file(REMOVE_RECURSE ${probe})
file(MAKE_DIRECTORY ${probe})
get_filename_component(program_name ${PROGRAM} NAME)
file(COPY_FILE ${PROGRAM} ${probe}/${program_name})
file(GET_RUNTIME_DEPENDENCIES
    EXECUTABLES ${probe}/${program_name}
    RESOLVED_DEPENDENCIES_VAR resolved
    UNRESOLVED_DEPENDENCIES_VAR unresolved
    CONFLICTING_DEPENDENCIES_PREFIX conflict
    PRE_EXCLUDE_REGEXES ${excluded})
file(REMOVE_RECURSE ${probe})
if(unresolved)
    message(FATAL_ERROR "Libraries the disc's program needs were not found: ${unresolved}")
endif()
# With /lib and /usr/lib one folder, a library may be found twice under the same name; either is it.
foreach(name ${conflict_FILENAMES})
    list(GET conflict_${name} 0 chosen)
    list(APPEND resolved ${chosen})
endforeach()
foreach(library ${resolved})
    if(library MATCHES "/libQt6[^/]*$")
        message(FATAL_ERROR "The disc's program needs ${library}: the disc's Qt must be static (scripts/disc-qt)")
    endif()
endforeach()

# Built beside the destination and moved into place whole, so that an interrupted run never leaves
# a runtime that looks complete.
set(staging ${RUNTIME}.partial)
file(REMOVE_RECURSE ${staging})
file(MAKE_DIRECTORY ${staging}/lib ${staging}/fonts)

# Unmodified copies, under the names the loader looks for: the program's search path leads the
# loader to them. Their packages' licences travel with them, and so do those of the archives
# linked into the program.
set(packages ${BRINDLE_FONT_PACKAGE})
foreach(library ${resolved})
    get_filename_component(name ${library} NAME)
    file(COPY_FILE ${library} ${staging}/lib/${name})
    brindle_package_of(${library} package)
    list(APPEND packages ${package})
endforeach()
foreach(archive ${ARCHIVES})
    brindle_package_of(${archive} package)
    list(APPEND packages ${package})
endforeach()

foreach(font ${BRINDLE_FONTS})
    file(COPY_FILE ${FONT_DIR}/${font} ${staging}/fonts/${font})
endforeach()
brindle_runtime_licences(${staging} ${QT_PREFIX} ${VERSION} "${packages}")
file(COPY ${MENU_SOURCE} DESTINATION ${staging}/source)

file(REMOVE_RECURSE ${RUNTIME})
file(RENAME ${staging} ${RUNTIME})
