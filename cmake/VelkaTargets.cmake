# Target helpers. Every feature folder has a model library that must build from the standard
# library alone, and a ui library with its Qt windows. velka_check_model_libraries() walks the
# link closure of every model library, and of every model test (velka_add_model_test in
# tests/), at the end of configuration and stops with an error when anything in it is a Qt
# target, so a stray link cannot slip in unnoticed. Without a Qt link the Qt headers are not on
# the include path either, so a stray include fails the build. Beside it, VELKA_FOLDER_USES says
# which folders each folder may include; the test folder_uses holds the tree to it.

set_property(GLOBAL PROPERTY VELKA_MODEL_LIBRARIES "")

# Which folders the files of each folder may include besides their own, one row a folder: the
# folders stand on floors, the bracket's and the Swiss rounds' models and the toolkit helpers
# low, the features above them and the application on top, and nothing includes a folder above
# its own. The test folder_uses (cmake/CheckFolderUses.cmake) fails on any other include, and on
# a folder of sources that has no row. The tests, benchmarks, fuzz targets and tools may include
# anything.
set(VELKA_FOLDER_USES
    "core:"
    "bracket: core"
    "swiss: bracket core uikit"
    "uikit: core"
    "about: core uikit"
    "draw: bracket core uikit"
    "keep: bracket core swiss uikit"
    "timer: core uikit"
    "board: bracket core keep uikit"
    "playerspage: bracket core swiss timer uikit"
    "app: about board core draw playerspage swiss timer uikit")
set(VELKA_FOLDERS_UNCHECKED tests bench fuzz tools)

function(velka_set_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wold-style-cast
                                             -Wnon-virtual-dtor -Woverloaded-virtual)
    if(VELKA_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
    target_compile_definitions(${target} PRIVATE $<$<CONFIG:Debug>:_GLIBCXX_ASSERTIONS>)
endfunction()

# In a build under UndefinedBehaviorSanitizer (the ci preset), the tests' and benchmarks' own
# code is built without it: their files, heavy with GoogleTest's macros, took half as long again
# to compile with it, and what they check is the program's code, which keeps it. They stay under
# AddressSanitizer, and link with both runtimes. Called from the folders' own lists.
macro(velka_checking_code_without_ubsan)
    if(CMAKE_CXX_FLAGS MATCHES "-fsanitize=[^ ]*undefined")
        add_compile_options(-fno-sanitize=undefined)
    endif()
endmacro()

# velka_add_model_library(<name> SOURCES ... [DEPENDS <model libraries>])
function(velka_add_model_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
    # Position-independent: the modules that the program loads later link models too.
    set_target_properties(${name} PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF
                                             POSITION_INDEPENDENT_CODE ON)
    velka_set_warnings(${name})
    set_property(GLOBAL APPEND PROPERTY VELKA_MODEL_LIBRARIES ${name})
endfunction()

# velka_add_ui_library(<name> SOURCES ... [DEPENDS ...]). Left out of a fuzzing or models-only
# build.
function(velka_add_ui_library name)
    if(VELKA_BUILD_FUZZERS OR VELKA_MODELS_ONLY)
        return()
    endif()
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPENDS} Qt6::Widgets)
    velka_set_warnings(${name})
endfunction()

# velka_use_private_libraries(<target>): installed in the program's folder, the executable finds
# the modules in the program's private library folder relative to itself, wherever the tree
# lies. (In the build tree every executable finds them through CMAKE_BUILD_RPATH.)
function(velka_use_private_libraries target)
    if(NOT VELKA_PRIVATE_LIBRARY_DIR)
        return()
    endif()
    file(RELATIVE_PATH relative ${CMAKE_INSTALL_FULL_BINDIR}
         ${CMAKE_INSTALL_PREFIX}/${VELKA_PRIVATE_LIBRARY_DIR})
    set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN/${relative}")
endfunction()

function(_velka_link_closure target out_var)
    set(seen "")
    set(queue ${target})
    while(queue)
        list(POP_FRONT queue current)
        if(current IN_LIST seen)
            continue()
        endif()
        list(APPEND seen ${current})
        if(TARGET ${current})
            get_target_property(aliased ${current} ALIASED_TARGET)
            if(aliased)
                list(APPEND queue ${aliased})
            endif()
            foreach(property LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
                get_target_property(links ${current} ${property})
                if(links)
                    list(APPEND queue ${links})
                endif()
            endforeach()
        endif()
    endwhile()
    set(${out_var} ${seen} PARENT_SCOPE)
endfunction()

function(velka_check_model_libraries)
    get_property(models GLOBAL PROPERTY VELKA_MODEL_LIBRARIES)
    get_property(model_tests GLOBAL PROPERTY VELKA_MODEL_TESTS)
    foreach(target IN LISTS models model_tests)
        _velka_link_closure(${target} closure)
        foreach(item IN LISTS closure)
            if(item MATCHES "Qt[0-9]*::|Qt[0-9]*Core|Qt[0-9]*Gui|Qt[0-9]*Widgets")
                message(FATAL_ERROR "${target} is a model library or a model test and must not "
                                    "use Qt, but it links ${item}.")
            endif()
        endforeach()
    endforeach()
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/WindowsResources.cmake)
