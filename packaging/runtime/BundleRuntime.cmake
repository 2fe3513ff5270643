# Lays out the runtime folder that travels beside the disc's program: the Qt libraries it uses, the
# Qt plugins for X11 and Wayland, every library they need except those left to the user's system,
# the fonts of the menu's design, and the licences, notices and Qt source that must travel with them
# (RuntimeLicences.cmake).
#
# cmake -DPROGRAM=<disc program> -DRUNTIME=<folder> -DQT_PREFIX=<Qt> -DQT_LIB_DIR=<Qt libraries>
#       -DPLUGIN_DIR=<Qt plugins> -DVERSION=<Qt version> -DSYSTEM_LIST=<file> -DFONT_DIR=<Liberation fonts>
#       -DLICENCES=<licence texts> -DNOTICE=<Licences.txt.in> -DOPTIONS=<Qt's build options>
#       -P BundleRuntime.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/RuntimeLicences.cmake)

foreach(input PROGRAM RUNTIME QT_PREFIX QT_LIB_DIR PLUGIN_DIR VERSION SYSTEM_LIST FONT_DIR LICENCES NOTICE OPTIONS)
    if(NOT ${input})
        message(FATAL_ERROR "BundleRuntime.cmake needs -D${input}=...")
    endif()
endforeach()
brindle_require_qt_source(${QT_PREFIX})

# The plugins: X11 (xcb), Wayland (the platform plugin, the xdg-shell integration, the window
# decoration drawn by the client where the compositor draws none), and the input contexts of the
# compose key and of IBus (input methods for the names typed in the file dialogs). No offscreen
# platform: a disc is run on a desktop. Wayland's EGL plugins come along where the Qt has them; a Qt without
# OpenGL draws through shared memory only.
set(plugins
    platforms/libqxcb.so
    platforms/libqwayland-generic.so
    wayland-shell-integration/libxdg-shell.so
    wayland-decoration-client/libbradient.so
    platforminputcontexts/libcomposeplatforminputcontextplugin.so
    platforminputcontexts/libibusplatforminputcontextplugin.so)
foreach(plugin platforms/libqwayland-egl.so wayland-graphics-integration-client/libqt-plugin-wayland-egl.so)
    if(EXISTS ${PLUGIN_DIR}/${plugin})
        list(APPEND plugins ${plugin})
    endif()
endforeach()
set(fonts LiberationSans-Regular.ttf LiberationSans-Bold.ttf LiberationSerif-Regular.ttf LiberationSerif-Bold.ttf)

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

# The libraries are resolved as the loader finds them from the disc: the program, copied into a
# probe folder whose Runtime/ leads to the Qt, finds Qt through its own search path, and so do the
# plugins and Qt's libraries through theirs, ahead of any other Qt on this machine.
set(probe ${RUNTIME}.probe)
file(REMOVE_RECURSE ${probe})
file(MAKE_DIRECTORY ${probe}/Runtime)
get_filename_component(program_name ${PROGRAM} NAME)
file(COPY_FILE ${PROGRAM} ${probe}/${program_name})
file(CREATE_LINK ${QT_LIB_DIR} ${probe}/Runtime/lib SYMBOLIC)
file(CREATE_LINK ${PLUGIN_DIR} ${probe}/Runtime/plugins SYMBOLIC)

set(modules)
foreach(plugin ${plugins})
    if(NOT EXISTS ${PLUGIN_DIR}/${plugin})
        message(FATAL_ERROR "The Qt plugin ${PLUGIN_DIR}/${plugin} is not installed")
    endif()
    list(APPEND modules ${probe}/Runtime/plugins/${plugin})
endforeach()

file(GET_RUNTIME_DEPENDENCIES
    EXECUTABLES ${probe}/${program_name}
    MODULES ${modules}
    RESOLVED_DEPENDENCIES_VAR resolved
    UNRESOLVED_DEPENDENCIES_VAR unresolved
    CONFLICTING_DEPENDENCIES_PREFIX conflict
    PRE_EXCLUDE_REGEXES ${excluded})
if(unresolved)
    message(FATAL_ERROR "Libraries the disc's program needs were not found: ${unresolved}")
endif()
# With /lib and /usr/lib one folder, a library may be found twice under the same name; either is it.
# A Qt library found both through the probe and elsewhere is the probe's.
foreach(name ${conflict_FILENAMES})
    set(chosen)
    foreach(candidate ${conflict_${name}})
        if(candidate MATCHES "^${probe}/" AND NOT chosen)
            set(chosen ${candidate})
        endif()
    endforeach()
    if(NOT chosen)
        list(GET conflict_${name} 0 chosen)
    endif()
    list(APPEND resolved ${chosen})
endforeach()

# Built beside the destination and moved into place whole, so that an interrupted run never leaves
# a runtime that looks complete.
set(staging ${RUNTIME}.partial)
file(REMOVE_RECURSE ${staging})
file(MAKE_DIRECTORY ${staging}/lib ${staging}/fonts)

# Unmodified copies: the program's search path leads the loader to them. Symbolic links are
# followed so that each library is one file under the name the loader looks for. The libraries
# from outside the Qt are the system's: their packages' licences travel with them.
set(packages fonts-liberation)
foreach(library ${resolved})
    get_filename_component(name ${library} NAME)
    file(COPY_FILE ${library} ${staging}/lib/${name})
    if(NOT library MATCHES "^${probe}/")
        brindle_package_of(${library} package)
        list(APPEND packages ${package})
    endif()
endforeach()
file(REMOVE_RECURSE ${probe})
foreach(plugin ${plugins})
    get_filename_component(type ${plugin} DIRECTORY)
    file(MAKE_DIRECTORY ${staging}/plugins/${type})
    file(COPY_FILE ${PLUGIN_DIR}/${plugin} ${staging}/plugins/${plugin})
endforeach()

foreach(font ${fonts})
    file(COPY_FILE ${FONT_DIR}/${font} ${staging}/fonts/${font})
endforeach()
brindle_runtime_licences(${staging} ${QT_PREFIX} ${VERSION} "${packages}")

file(REMOVE_RECURSE ${RUNTIME})
file(RENAME ${staging} ${RUNTIME})
