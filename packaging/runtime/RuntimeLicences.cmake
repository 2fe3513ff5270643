# SPDX-License-Identifier: MIT
# The licences, notices and Qt source that travel in a disc's runtime folder, for the Linux and the
# Windows runtime alike: on a disc with both programs the two runtimes are one folder, so every
# file both bring is made the same way from the same inputs.
#
# The including script sets LICENCES (the folder of licence texts, /usr/share/common-licenses),
# NOTICE (Licences.txt.in) and OPTIONS (the files of Qt's build options).

# The fonts of the menu's design, which travel in Runtime/fonts, and the Debian package they come
# from: Liberation 2, under the SIL Open Font License 1.1 (Liberation 1.07, under the GNU GPL v2,
# would have to travel with a source that is not to be had).
set(BRINDLE_FONTS LiberationSans-Regular.ttf LiberationSans-Bold.ttf LiberationSerif-Regular.ttf LiberationSerif-Bold.ttf)
set(BRINDLE_FONT_PACKAGE fonts-liberation2)

# The Debian package that installed file (a library, a compiler's runtime), found with dpkg.
function(brindle_package_of file out)
    get_filename_component(real ${file} REALPATH)
    set(candidates ${file} ${real})
    foreach(path ${file} ${real})
        # With /lib and /usr/lib one folder, dpkg knows a file under one of the two names only.
        if(path MATCHES "^/usr(/.*)$")
            list(APPEND candidates ${CMAKE_MATCH_1})
        else()
            list(APPEND candidates /usr${path})
        endif()
    endforeach()
    foreach(candidate ${candidates})
        execute_process(COMMAND dpkg -S ${candidate} OUTPUT_VARIABLE owner ERROR_QUIET RESULT_VARIABLE failed)
        if(NOT failed AND owner MATCHES "^([^:,]+)")
            set(${out} ${CMAKE_MATCH_1} PARENT_SCOPE)
            return()
        endif()
    endforeach()
    message(FATAL_ERROR "No Debian package owns ${file}: its licence cannot go on the disc")
endfunction()

# Fails, before anything is laid out, for a Qt without its source beside it: a disc may not carry it.
function(brindle_require_qt_source qt_prefix)
    foreach(pattern qt6-base_*.dsc qt6-base_*.orig.tar.* qt6-base_*.debian.tar.* disc-qt.patch)
        file(GLOB found ${qt_prefix}/source/${pattern})
        if(NOT found)
            message(FATAL_ERROR "The Qt in ${qt_prefix} lacks its source (${qt_prefix}/source/${pattern}): a disc "
                "may not carry it without. scripts/disc-qt keeps Debian's source packages and disc-qt.patch there.")
        endif()
    endforeach()
endfunction()

# Writes <runtime>/licences and <runtime>/source for the Qt in qt_prefix and the Debian packages
# whose files the runtime carries (or the program has built in).
function(brindle_runtime_licences runtime qt_prefix version packages)
    set(source ${qt_prefix}/source)
    file(GLOB sources ${source}/*)
    file(COPY ${sources} ${OPTIONS} DESTINATION ${runtime}/source)

    set(licences ${runtime}/licences)
    file(MAKE_DIRECTORY ${licences})
    foreach(text LGPL-3 GPL-3)
        file(COPY_FILE ${LICENCES}/${text} ${licences}/${text}.txt)
    endforeach()
    brindle_font_licence(${licences}/OFL-1.1.txt)
    set(QT_VERSION ${version})
    configure_file(${NOTICE} ${licences}/README.txt @ONLY)

    # Qt's own notices: Debian's copyright files of its source packages, which list the code built
    # into Qt as well.
    file(GLOB debian_parts ${source}/*.debian.tar.*)
    list(SORT debian_parts)
    foreach(part ${debian_parts})
        get_filename_component(name ${part} NAME)
        string(REGEX REPLACE "_.*" "" package ${name})
        set(unpacked ${runtime}.${package})
        file(REMOVE_RECURSE ${unpacked})
        file(ARCHIVE_EXTRACT INPUT ${part} DESTINATION ${unpacked} PATTERNS debian/copyright)
        if(NOT EXISTS ${unpacked}/debian/copyright)
            message(FATAL_ERROR "${part} holds no debian/copyright")
        endif()
        file(COPY_FILE ${unpacked}/debian/copyright ${licences}/${package}.copyright.txt)
        file(REMOVE_RECURSE ${unpacked})
    endforeach()

    # The other packages' copyright files, named after the source package they are built from, which
    # they share with the other packages built from it.
    list(REMOVE_DUPLICATES packages)
    list(SORT packages)
    foreach(package ${packages})
        set(copyright /usr/share/doc/${package}/copyright)
        if(NOT EXISTS ${copyright})
            message(FATAL_ERROR "${copyright} is missing: the licence of ${package} cannot go on the disc")
        endif()
        execute_process(COMMAND dpkg-query -W -f=\${source:Package} ${package}
            OUTPUT_VARIABLE origin RESULT_VARIABLE failed)
        if(failed OR NOT origin)
            message(FATAL_ERROR "dpkg-query cannot tell the source package of ${package}")
        endif()
        file(COPY_FILE ${copyright} ${licences}/${origin}.copyright.txt)
    endforeach()
endfunction()

# Writes the SIL Open Font License's text as the fonts' Debian copyright file holds it (a paragraph
# of lines indented by one space, " ." standing for an empty line) to out.
function(brindle_font_licence out)
    set(copyright /usr/share/doc/${BRINDLE_FONT_PACKAGE}/copyright)
    file(STRINGS ${copyright} lines)
    set(text)
    set(inside OFF)
    foreach(line IN LISTS lines)
        if(line MATCHES "^License: SIL-OFL-1.1$")
            set(inside ON)
        elseif(inside AND line MATCHES "^ (.*)$")
            set(line "${CMAKE_MATCH_1}")
            if(line STREQUAL ".")
                set(line "")
            endif()
            string(APPEND text "${line}\n")
        elseif(inside)
            break()
        endif()
    endforeach()
    if(NOT text MATCHES "SIL OPEN FONT LICENSE")
        message(FATAL_ERROR "${copyright} holds no text of the SIL Open Font License 1.1")
    endif()
    file(WRITE ${out} "${text}")
endfunction()

