# Lays out the runtime folder that travels beside the disc's Windows program: the Qt DLLs it uses
# and those its plugin uses, the windows platform plugin, the manifest that makes the folder a
# private assembly of the program, the fonts of the menu's design (Windows desktops have Arial and
# Times New Roman; the fonts stand in where they are missing), and the licences, notices and Qt
# source that must travel with them, made as the Linux runtime's (RuntimeLicences.cmake).
#
# cmake -DPROGRAM=<program.exe> -DRUNTIME=<folder> -DQT_PREFIX=<Qt> -DQT_BIN_DIR=<Qt's DLLs>
#       -DPLUGIN_DIR=<Qt plugins> -DOBJDUMP=<objdump for PE files> -DCXX=<the C++ compiler>
#       -DVERSION=<Qt version> -DFONT_DIR=<Liberation fonts> -DLICENCES=<licence texts>
#       -DNOTICE=<Licences.txt.in> -DOPTIONS=<Qt's build options> -P BundleWindowsRuntime.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/../runtime/RuntimeLicences.cmake)

foreach(input PROGRAM RUNTIME QT_PREFIX QT_BIN_DIR PLUGIN_DIR OBJDUMP CXX VERSION FONT_DIR LICENCES NOTICE OPTIONS)
    if(NOT ${input})
        message(FATAL_ERROR "BundleWindowsRuntime.cmake needs -D${input}=...")
    endif()
endforeach()
brindle_require_qt_source(${QT_PREFIX})

set(plugins platforms/qwindows.dll)
set(fonts LiberationSans-Regular.ttf LiberationSans-Bold.ttf LiberationSerif-Regular.ttf LiberationSerif-Bold.ttf)

# The DLLs a PE file imports by name.
function(imports file out)
    execute_process(COMMAND ${OBJDUMP} -p ${file} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "Cannot read the imports of ${file}")
    endif()
    string(REGEX MATCHALL "DLL Name: [^\r\n]+" lines "${dump}")
    set(names)
    foreach(line ${lines})
        string(REGEX REPLACE "DLL Name: " "" name "${line}")
        list(APPEND names ${name})
    endforeach()
    set(${out} ${names} PARENT_SCOPE)
endfunction()

# Every DLL reached from the program and the plugins that Qt's folder holds; what it does not hold
# is Windows' own (kernel32, user32, the C runtime, ...), which every Windows PC has.
set(pending ${PROGRAM})
foreach(plugin ${plugins})
    if(NOT EXISTS ${PLUGIN_DIR}/${plugin})
        message(FATAL_ERROR "The Qt plugin ${PLUGIN_DIR}/${plugin} is not installed")
    endif()
    list(APPEND pending ${PLUGIN_DIR}/${plugin})
endforeach()
set(dlls)
while(pending)
    list(POP_FRONT pending file)
    imports(${file} names)
    foreach(name ${names})
        string(TOLOWER "${name}" key)
        if(key IN_LIST seen)
            continue()
        endif()
        list(APPEND seen ${key})
        if(EXISTS ${QT_BIN_DIR}/${name})
            list(APPEND dlls ${name})
            list(APPEND pending ${QT_BIN_DIR}/${name})
        elseif(key MATCHES "^(libgcc|libstdc|libwinpthread)")
            message(FATAL_ERROR "${file} needs the compiler's ${name}: build with the C++ runtime linked in")
        endif()
    endforeach()
endwhile()
list(SORT dlls)

file(REMOVE_RECURSE ${RUNTIME})
file(MAKE_DIRECTORY ${RUNTIME})
set(files)
foreach(dll ${dlls})
    file(COPY_FILE ${QT_BIN_DIR}/${dll} ${RUNTIME}/${dll})
    string(APPEND files "  <file name=\"${dll}\"/>\n")
endforeach()
foreach(plugin ${plugins})
    get_filename_component(folder ${plugin} DIRECTORY)
    file(MAKE_DIRECTORY ${RUNTIME}/plugins/${folder})
    file(COPY_FILE ${PLUGIN_DIR}/${plugin} ${RUNTIME}/plugins/${plugin})
endforeach()
file(WRITE ${RUNTIME}/Runtime.manifest
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\n"
    "  <assemblyIdentity type=\"win32\" name=\"Runtime\" version=\"${VERSION}.0\" processorArchitecture=\"amd64\"/>\n"
    "${files}"
    "</assembly>\n")

file(MAKE_DIRECTORY ${RUNTIME}/fonts)
foreach(font ${fonts})
    file(COPY_FILE ${FONT_DIR}/${font} ${RUNTIME}/fonts/${font})
endforeach()

# The compiler's C and C++ runtime and winpthreads are linked into the program and every DLL: the
# notices of the packages they come from travel with them.
set(packages fonts-liberation)
foreach(part libgcc.a libstdc++.a libwinpthread.a crt2.o)
    execute_process(COMMAND ${CXX} -print-file-name=${part} OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    brindle_package_of(${path} package)
    list(APPEND packages ${package})
endforeach()
brindle_runtime_licences(${RUNTIME} ${QT_PREFIX} ${VERSION} "${packages}")

list(JOIN dlls ", " listed)
message(STATUS "Windows runtime: ${listed}, ${plugins}")
