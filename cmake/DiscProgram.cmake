# SPDX-License-Identifier: MIT
# brindle_disc_program(target): a program that runs from the disc and finds the Qt it carries in
# the Runtime folder beside it: Qt's plugins through an embedded qt.conf, and on Linux Qt's
# libraries through the search path $ORIGIN/Runtime/lib, written as the older DT_RPATH tag, which
# the loader also applies to the libraries and plugins loaded after the program (so the libraries on
# the disc stay unmodified copies, and LD_LIBRARY_PATH cannot put another Qt in their place).
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
endfunction()
