# SPDX-License-Identifier: MIT
# brindle_disc_program(target): a program that runs from the disc and finds the Qt it carries in
# the Runtime folder beside it: Qt's plugins through an embedded qt.conf, and on Linux Qt's
# libraries through the search path $ORIGIN/Runtime/lib, written as the older DT_RPATH tag, which
# the loader also applies to the libraries and plugins loaded after the program (so the libraries on
# the disc stay unmodified copies, and LD_LIBRARY_PATH cannot put another library in their place).
function(brindle_disc_program target)
    qt_add_resources(${target} ${target}_qt_conf
        PREFIX /qt/etc
        BASE ${CMAKE_SOURCE_DIR}/packaging/runtime
        FILES ${CMAKE_SOURCE_DIR}/packaging/runtime/qt.conf)
    if(NOT WIN32)
        target_link_options(${target} PRIVATE -Wl,--disable-new-dtags)
        # The path alone, without the build machine's Qt folder that a build path would add.
        set_target_properties(${target} PROPERTIES
            BUILD_WITH_INSTALL_RPATH ON
            INSTALL_RPATH "\$ORIGIN/Runtime/lib")
    endif()
    # A static Qt (the disc's own) is linked in with the plugins the program loads; whatever of
    # either the program does not use is dropped, and so are the symbols, which nothing on a disc
    # reads.
    get_target_property(qt_type Qt6::Core TYPE)
    if(qt_type STREQUAL STATIC_LIBRARY)
        if(WIN32)
            qt_import_plugins(${target} NO_DEFAULT INCLUDE Qt6::QWindowsIntegrationPlugin)
            # Sections at page boundaries in the file, so that a loader can map the program from the
            # disc and read only the pages the start touches (Wine reads a program whose sections lie
            # at 512-byte boundaries whole before it starts).
            target_link_options(${target} PRIVATE -Wl,--file-alignment,4096)
        else()
            qt_import_plugins(${target} NO_DEFAULT INCLUDE Qt6::QXcbIntegrationPlugin Qt6::QWaylandIntegrationPlugin
                Qt6::QWaylandXdgShellIntegrationPlugin Qt6::QWaylandBradientDecorationPlugin
                Qt6::QIbusPlatformInputContextPlugin Qt6::QComposePlatformInputContextPlugin)
        endif()
        target_link_options(${target} PRIVATE -Wl,--gc-sections -Wl,-O1 -s)
    endif()
endfunction()

# The X11 connection's helper libraries (xcb-util and the xcb extensions that Qt's xcb plugin uses)
# are linked into the disc's Linux program from the static archives Debian ships, so that its start
# opens none of them from the disc: Qt's search for them is handed the archives before it looks.
# libxcb itself, Xlib, fontconfig, FreeType, HarfBuzz, D-Bus and the Wayland client stay the
# system's; xkbcommon and wayland-cursor, which Debian ships as shared libraries only, travel in the
# runtime. BRINDLE_STATIC_ARCHIVES lists the archives, for the link and for the licences.
if(BRINDLE_DISC_PROGRAM_ONLY AND NOT WIN32)
    set(BRINDLE_STATIC_ARCHIVES)
    foreach(component ICCCM IMAGE KEYSYMS RANDR RENDER RENDERUTIL SHAPE SHM SYNC XFIXES XKB UTIL)
        string(TOLOWER ${component} name)
        string(REPLACE renderutil render-util name ${name})
        find_library(XCB_${component}_LIBRARY NAMES libxcb-${name}.a REQUIRED)
        list(APPEND BRINDLE_STATIC_ARCHIVES ${XCB_${component}_LIBRARY})
    endforeach()
endif()

# Once Qt is found, which defines the targets: a static link takes from an archive only what the
# objects before it need, so each archive names those it needs after it (xcb-image needs xcb-shm
# and xcb-util, xcb-render-util needs xcb-render); and the search path stays DT_RPATH, which a
# static Qt's own link option would turn into DT_RUNPATH for every program linked with it.
function(brindle_adjust_static_qt)
    if(BRINDLE_STATIC_ARCHIVES)
        set_property(TARGET XCB::IMAGE APPEND PROPERTY INTERFACE_LINK_LIBRARIES ${XCB_SHM_LIBRARY} ${XCB_UTIL_LIBRARY})
        set_property(TARGET XCB::RENDERUTIL APPEND PROPERTY INTERFACE_LINK_LIBRARIES ${XCB_RENDER_LIBRARY})
    endif()
    if(TARGET Qt6::PlatformCommonInternal AND NOT WIN32)
        get_target_property(options Qt6::PlatformCommonInternal INTERFACE_LINK_OPTIONS)
        if(options)
            list(REMOVE_ITEM options -Wl,--enable-new-dtags)
            set_property(TARGET Qt6::PlatformCommonInternal PROPERTY INTERFACE_LINK_OPTIONS "${options}")
        endif()
    endif()
endfunction()
