# SPDX-License-Identifier: MIT
# Packs the menu's source as built into OUTPUT (brindlemoor-<version>-source.tar.xz), which both
# systems' runtimes carry, so that a user can link the menu with a Qt of their own: the project's
# files as the build sees them (those git tracks or would track; every file but the build's where
# the folder is no clone), with BUILT-FROM.txt naming the commit. The same tree makes the same
# archive (names sorted, owners and times fixed), and an unchanged tree leaves it untouched, so
# that nothing is laid out again.
#
# cmake -DSOURCE_DIR=<the project> -DOUTPUT=<archive> -DVERSION=<the menu's version> -P MenuSource.cmake
cmake_minimum_required(VERSION 3.25)

foreach(input SOURCE_DIR OUTPUT VERSION)
    if(NOT ${input})
        message(FATAL_ERROR "MenuSource.cmake needs -D${input}=...")
    endif()
endforeach()

execute_process(COMMAND git -C ${SOURCE_DIR} -c core.quotePath=false ls-files --cached --others --exclude-standard
    OUTPUT_VARIABLE listed RESULT_VARIABLE not_a_clone ERROR_QUIET)
if(NOT not_a_clone)
    execute_process(COMMAND git -C ${SOURCE_DIR} log -1 --format=%H%n%ct
        OUTPUT_VARIABLE head OUTPUT_STRIP_TRAILING_WHITESPACE)
    string(REPLACE "\n" ";" head "${head}")
    list(GET head 0 commit)
    list(GET head 1 time)
    execute_process(COMMAND git -C ${SOURCE_DIR} status --porcelain --untracked-files=no OUTPUT_VARIABLE changed)
    set(built "Built from commit ${commit}")
    if(changed)
        string(APPEND built ", with changes to it not committed")
    endif()
    string(REPLACE "\n" ";" files "${listed}")
else()
    file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} LIST_DIRECTORIES OFF ${SOURCE_DIR}/*)
    list(FILTER files EXCLUDE REGEX "^(build|shots)/")
    set(built "Built from a folder that is not a clone of the project's repository")
    set(time 0)
endif()

# What the archive is made of: the names, sizes and times of the files and the commit.
set(kept)
set(fingerprint "${built}\n")
foreach(path ${files})
    if(EXISTS ${SOURCE_DIR}/${path} AND NOT IS_DIRECTORY ${SOURCE_DIR}/${path})
        list(APPEND kept ${path})
        file(SIZE ${SOURCE_DIR}/${path} size)
        file(TIMESTAMP ${SOURCE_DIR}/${path} stamp "%s")
        string(APPEND fingerprint "${path} ${size} ${stamp}\n")
    endif()
endforeach()
string(SHA256 fingerprint "${fingerprint}")
set(recorded ${OUTPUT}.inputs)
if(EXISTS ${OUTPUT} AND EXISTS ${recorded})
    file(READ ${recorded} before)
    if(before STREQUAL fingerprint)
        return()
    endif()
endif()

get_filename_component(folder ${OUTPUT} DIRECTORY)
set(work ${OUTPUT}.work)
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work} ${folder})
list(SORT kept)
list(JOIN kept "\n" listing)
file(WRITE ${work}/files "${listing}\n")
file(WRITE ${work}/BUILT-FROM.txt "${built}.\n")
set(top brindlemoor-${VERSION})
execute_process(COMMAND tar --create --xz --file ${work}/archive.tar.xz --owner=0 --group=0 --numeric-owner
        --mtime=@${time} --mode=go-w --transform "s,^,${top}/," --verbatim-files-from
        -C ${SOURCE_DIR} --files-from ${work}/files -C ${work} BUILT-FROM.txt
    RESULT_VARIABLE failed)
if(failed)
    file(REMOVE_RECURSE ${work})
    message(FATAL_ERROR "The menu's source could not be packed into ${OUTPUT}")
endif()
file(RENAME ${work}/archive.tar.xz ${OUTPUT})
file(WRITE ${recorded} "${fingerprint}")
file(REMOVE_RECURSE ${work})
