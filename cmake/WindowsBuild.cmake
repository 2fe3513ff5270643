# The Windows program, cross-built with MinGW-w64 against BRINDLE_WINDOWS_QT in a build of its own
# (windows-build/), with this build's artwork generator drawing its artwork. It makes the program
# and its runtime in windows-build/disc-program/, which the sample disc carries, and the Windows
# test suites, which CTest runs under Wine.
include(ExternalProject)
set(BRINDLE_WINDOWS_BUILD_DIR ${CMAKE_BINARY_DIR}/windows-build)
set(BRINDLE_WINDOWS_PROGRAM_DIR ${BRINDLE_WINDOWS_BUILD_DIR}/disc-program)
ExternalProject_Add(windows-build
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${BRINDLE_WINDOWS_BUILD_DIR}
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release
        -DCMAKE_PREFIX_PATH=${BRINDLE_WINDOWS_QT} -DQT_HOST_PATH=/usr
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}/cmake
        -DBRINDLE_HOST_ARTGEN=$<TARGET_FILE:artgen> -DBRINDLE_BUILD_TESTS=${BRINDLE_BUILD_TESTS}
        -DBRINDLE_MENU_SOURCE=${BRINDLE_MENU_SOURCE}
    CMAKE_GENERATOR Ninja
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR>
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${BRINDLE_WINDOWS_PROGRAM_DIR}/brindlemoor.exe ${BRINDLE_WINDOWS_PROGRAM_DIR}/Runtime.stamp
    INSTALL_COMMAND ""
    DEPENDS artgen menu-source
    USES_TERMINAL_BUILD ON)

# The Windows suites run under Wine, in a Wine prefix and on an X server of their own.
if(BRINDLE_BUILD_TESTS)
    add_test(NAME windows_suites
        COMMAND bash ${CMAKE_SOURCE_DIR}/tests/windows/suites.sh ${BRINDLE_WINDOWS_BUILD_DIR})
    set_tests_properties(windows_suites PROPERTIES LABELS disc TIMEOUT 1200 RUN_SERIAL TRUE)

    # The journeys through the Windows program from the sample disc's image as drive D:, after the
    # Linux journeys, whose main page they compare theirs with.
    add_test(NAME windows_journeys
        COMMAND bash ${CMAKE_SOURCE_DIR}/tests/windows/journeys.sh ${CMAKE_BINARY_DIR}/sample-disc.iso
            $<TARGET_FILE:brindle-disc> ${BRINDLE_WINDOWS_BUILD_DIR} ${CMAKE_BINARY_DIR}/windows-shots
            ${CMAKE_BINARY_DIR}/e2e-shots/start/main-page.png)
    set_tests_properties(windows_journeys PROPERTIES
        LABELS disc
        TIMEOUT 1200
        RUN_SERIAL TRUE
        DEPENDS e2e_journeys
        REQUIRED_FILES ${CMAKE_BINARY_DIR}/sample-disc.iso
        ENVIRONMENT "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp")
endif()
