# Fails when a file of the program includes a folder that its own folder may not use, as the
# table VELKA_FOLDER_USES in VelkaTargets.cmake says; lists every such include with its line.
# A folder of the tree with C++ sources and a CMakeLists.txt must have a row, or be one of
# VELKA_FOLDERS_UNCHECKED. The test folder_uses runs it:
#
#   cmake -DSOURCE_DIR=<the tree> -P cmake/CheckFolderUses.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/VelkaTargets.cmake)

set(checked "")
foreach(row IN LISTS VELKA_FOLDER_USES)
    string(REGEX MATCH "^([a-z]+):(.*)$" matched "${row}")
    if(NOT matched)
        message(FATAL_ERROR "VELKA_FOLDER_USES: \"${row}\" is not \"folder: folders it uses\".")
    endif()
    set(folder ${CMAKE_MATCH_1})
    string(STRIP "${CMAKE_MATCH_2}" uses)
    separate_arguments(uses_of_${folder} UNIX_COMMAND "${uses}")
    list(APPEND checked ${folder})
endforeach()

set(faults "")
set(includes_checked 0)
file(GLOB top_entries LIST_DIRECTORIES true RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*)
set(tree_folders "")
foreach(entry IN LISTS top_entries)
    if(IS_DIRECTORY ${SOURCE_DIR}/${entry} AND EXISTS ${SOURCE_DIR}/${entry}/CMakeLists.txt)
        list(APPEND tree_folders ${entry})
    endif()
endforeach()

foreach(folder IN LISTS tree_folders)
    if(folder IN_LIST VELKA_FOLDERS_UNCHECKED)
        continue()
    endif()
    file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
        ${SOURCE_DIR}/${folder}/*.cpp ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.h.in)
    if(NOT sources)
        continue()
    endif()
    if(NOT folder IN_LIST checked)
        list(APPEND faults "${folder}/ has no row in VELKA_FOLDER_USES (cmake/VelkaTargets.cmake)")
        continue()
    endif()
    foreach(source IN LISTS sources)
        file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]*)[\">].*$" "\\1" path
                "${line}")
            if(NOT path MATCHES "/")
                continue()
            endif()
            string(REGEX MATCH "^[^/]*" used "${path}")
            math(EXPR includes_checked "${includes_checked} + 1")
            if(used STREQUAL "." OR used STREQUAL "..")
                list(APPEND faults "${source} includes ${path}: a path from the tree's top, please")
            elseif(used IN_LIST tree_folders AND NOT used STREQUAL folder AND
                   NOT used IN_LIST uses_of_${folder})
                string(REPLACE ";" "/, " allowed "${uses_of_${folder}}")
                if(allowed)
                    set(allowed "only ${allowed}/")
                else()
                    set(allowed "no other folder")
                endif()
                list(APPEND faults
                    "${source} includes ${path}: ${folder}/ may use ${allowed}, not ${used}/")
            endif()
        endforeach()
    endforeach()
endforeach()

if(faults)
    list(LENGTH faults count)
    string(REPLACE ";" "\n  " listed "${faults}")
    message(FATAL_ERROR "${count} include(s) against the folders' uses:\n  ${listed}")
endif()
message(STATUS "Every include keeps to the folders' uses: ${includes_checked} includes with a "
               "folder checked.")
