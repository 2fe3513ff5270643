# SPDX-License-Identifier: MIT
# Lays out the runtime folder that travels beside the disc's Windows program, which has the disc's
# static Qt, its windows platform plugin and the compiler's runtime linked in: the fonts of the
# menu's design (Windows desktops have Arial and Times New Roman; the fonts stand in where they are
# missing), and the licences, notices and sources that must travel with the program, made as the
# Linux runtime's (RuntimeLicences.cmake).
#
# cmake -DPROGRAM=<program.exe> -DRUNTIME=<folder> -DQT_PREFIX=<Qt> -DOBJDUMP=<objdump for PE files>
#       -DCXX=<the C++ compiler> -DVERSION=<Qt version> -DFONT_DIR=<Liberation fonts>
#       -DLICENCES=<licence texts> -DNOTICE=<Licences.txt.in> -DOPTIONS=<Qt's build options>
#       -DMENU_SOURCE=<the menu's source archive> -P BundleWindowsRuntime.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/../runtime/RuntimeLicences.cmake)

foreach(input PROGRAM RUNTIME QT_PREFIX OBJDUMP CXX VERSION FONT_DIR LICENCES NOTICE OPTIONS MENU_SOURCE)
    if(NOT ${input})
        message(FATAL_ERROR "BundleWindowsRuntime.cmake needs -D${input}=...")
    endif()
endforeach()
brindle_require_qt_source(${QT_PREFIX})

# The program imports Windows' own DLLs only (kernel32, user32, the C runtime, ...), which every
# Windows PC has: no Qt DLL and none of the compiler's.
execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "Cannot read the imports of ${PROGRAM}")
endif()
string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${dump}")
foreach(import ${imports})
    string(REGEX REPLACE "DLL Name: " "" name "${import}")
    string(TOLOWER "${name}" key)
    if(key MATCHES "^qt6")
        message(FATAL_ERROR "${PROGRAM} needs ${name}: the disc's Qt must be static (scripts/disc-qt --windows)")
    elseif(key MATCHES "^(libgcc|libstdc|libwinpthread)")
        message(FATAL_ERROR "${PROGRAM} needs the compiler's ${name}: build with the C++ runtime linked in")
    endif()
endforeach()

set(staging ${RUNTIME}.partial)
file(REMOVE_RECURSE ${staging})
file(MAKE_DIRECTORY ${staging}/fonts)
foreach(font ${BRINDLE_FONTS})
    file(COPY_FILE ${FONT_DIR}/${font} ${staging}/fonts/${font})
endforeach()

# The compiler's C and C++ runtime and winpthreads are linked into the program: the notices of the
# packages they come from travel with them.
set(packages ${BRINDLE_FONT_PACKAGE})
foreach(part libgcc.a libstdc++.a libwinpthread.a crt2.o)
    execute_process(COMMAND ${CXX} -print-file-name=${part} OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    brindle_package_of(${path} package)
    list(APPEND packages ${package})
endforeach()
brindle_runtime_licences(${staging} ${QT_PREFIX} ${VERSION} "${packages}")
file(COPY ${MENU_SOURCE} DESTINATION ${staging}/source)

file(REMOVE_RECURSE ${RUNTIME})
file(RENAME ${staging} ${RUNTIME})
