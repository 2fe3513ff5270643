# Cross-building the Windows program on Linux with Debian's MinGW-w64 compilers (the POSIX thread
# model, which C++ threads and Qt need): cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(BRINDLE_MINGW_TRIPLE x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${BRINDLE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BRINDLE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${BRINDLE_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${BRINDLE_MINGW_TRIPLE}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${BRINDLE_MINGW_TRIPLE}-ranlib CACHE FILEPATH "")

# Libraries and headers come from the MinGW sysroot and the prefixes given (the Windows Qt); the
# build machine's tools (moc, rcc, uic from Debian's Qt of the same version) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${BRINDLE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The programs run under Wine on the build machine (tests).
find_program(BRINDLE_WINE NAMES wine NO_CMAKE_FIND_ROOT_PATH)
if(BRINDLE_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${BRINDLE_WINE})
endif()
