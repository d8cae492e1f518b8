# The tests' tiers, as CTest labels:
#   model   a model library's tests: plain C++, no Qt
#   window  Qt's widgets (or toolkit helpers) driven on the offscreen platform
#   system  tests that start servers, X displays, a session bus, a sound server or a browser,
#           install or configure a tree (and the Wine session of the Windows tests)
#   lint    checks of the sources themselves (style, shell scripts, the page's script)
# A test whose program starts threads is labelled "threads" as well: the tsan preset builds
# those programs alone (the target threaded_tests) and runs only those tests. For example
# `ctest --preset ci -L model` runs the model tier alone.
#
# scripts/test-share.py reads the list that velka_write_test_tiers() leaves in the build
# directory: which program and test targets belong to which tier, with their sources.

set(VELKA_TEST_TIERS model window system lint)
add_custom_target(threaded_tests)

function(_velka_check_tier tier)
    if(NOT tier IN_LIST VELKA_TEST_TIERS)
        message(FATAL_ERROR "'${tier}' is not a test tier (${VELKA_TEST_TIERS})")
    endif()
endfunction()

# velka_label_tests(<tier> [THREADS] TESTS <test>... [PROGRAMS <target>...]): labels tests made
# with add_test. PROGRAMS names the targets they run (a probe, a harness), which belong to the
# same tier and, with THREADS, are built for the thread checks.
function(velka_label_tests tier)
    cmake_parse_arguments(ARG "THREADS" "" "TESTS;PROGRAMS" ${ARGN})
    _velka_check_tier(${tier})
    set(labels ${tier})
    if(ARG_THREADS)
        list(APPEND labels threads)
        if(ARG_PROGRAMS)
            add_dependencies(threaded_tests ${ARG_PROGRAMS})
        endif()
    endif()
    set_tests_properties(${ARG_TESTS} PROPERTIES LABELS "${labels}")
    foreach(program IN LISTS ARG_PROGRAMS)
        set_target_properties(${program} PROPERTIES VELKA_TEST_TIER ${tier})
    endforeach()
endfunction()

# velka_label_discovered_tests(<target> <tier> [THREADS] [TEST_LIST <variable>]): labels the
# tests that gtest_discover_tests finds in <target>; call it right after each
# gtest_discover_tests, with the same TEST_LIST if that call named one. The labels cannot go
# through gtest_discover_tests' PROPERTIES, which loses a list's separators: they are set by a
# file that CTest reads after the discovered tests.
function(velka_label_discovered_tests target tier)
    cmake_parse_arguments(ARG "THREADS" "TEST_LIST" "" ${ARGN})
    _velka_check_tier(${tier})
    if(NOT ARG_TEST_LIST)
        set(ARG_TEST_LIST ${target}_TESTS)
    endif()
    set(labels ${tier})
    if(ARG_THREADS)
        list(APPEND labels threads)
        add_dependencies(threaded_tests ${target})
    endif()
    set_target_properties(${target} PROPERTIES VELKA_TEST_TIER ${tier})
    set(file ${CMAKE_CURRENT_BINARY_DIR}/${ARG_TEST_LIST}_labels.cmake)
    file(WRITE ${file}
        "if(${ARG_TEST_LIST})\n"
        "    set_tests_properties(\${${ARG_TEST_LIST}} PROPERTIES LABELS \"${labels}\")\n"
        "endif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${file})
endfunction()

function(_velka_targets_below directory out_var)
    get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
    get_property(subdirectories DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
    foreach(subdirectory IN LISTS subdirectories)
        _velka_targets_below(${subdirectory} below)
        list(APPEND targets ${below})
    endforeach()
    set(${out_var} ${targets} PARENT_SCOPE)
endfunction()

# velka_write_test_tiers(): writes <build>/test-tiers.txt, a line per target of the project:
#   test <tier> <target> <source>...      a test program, or a program that a test runs
#   program <tier> <target> <source>...  a library or program of the application
# A program's tier is "model" for a model library, "window" where Qt's widgets are in its link
# closure, and "system" otherwise (the platform adapters, the page's server). Targets under
# bench/ and fuzz/, and the test support without a tier, are left out. Called at the end of the
# configuration, when every target exists.
function(velka_write_test_tiers)
    _velka_targets_below(${PROJECT_SOURCE_DIR} targets)
    get_property(models GLOBAL PROPERTY VELKA_MODEL_LIBRARIES)
    set(lines "")
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        if(NOT type MATCHES "^(STATIC_LIBRARY|SHARED_LIBRARY|OBJECT_LIBRARY|EXECUTABLE)$")
            continue()
        endif()
        get_target_property(directory ${target} SOURCE_DIR)
        file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${directory})
        get_target_property(tier ${target} VELKA_TEST_TIER)
        if(folder MATCHES "^(bench|fuzz)(/|$)")
            continue()
        elseif(folder MATCHES "^tests(/|$)")
            if(NOT tier)
                continue()
            endif()
            set(kind test)
        elseif(target IN_LIST models)
            set(kind program)
            set(tier model)
        else()
            set(kind program)
            _velka_link_closure(${target} closure)
            if("Qt6::Widgets" IN_LIST closure)
                set(tier window)
            else()
                set(tier system)
            endif()
        endif()
        get_target_property(sources ${target} SOURCES)
        set(paths "")
        foreach(source IN LISTS sources)
            if(source MATCHES "^\\$<") # generator expressions: generated or object files
                continue()
            endif()
            cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${directory} NORMALIZE)
            cmake_path(IS_PREFIX PROJECT_SOURCE_DIR "${source}" NORMALIZE in_tree)
            cmake_path(IS_PREFIX PROJECT_BINARY_DIR "${source}" NORMALIZE generated)
            if(in_tree AND NOT generated AND EXISTS ${source})
                file(RELATIVE_PATH source ${PROJECT_SOURCE_DIR} ${source})
                list(APPEND paths ${source})
            endif()
        endforeach()
        if(NOT paths)
            continue() # only generated sources, such as compiled-in resources
        endif()
        list(JOIN paths " " paths)
        string(APPEND lines "${kind} ${tier} ${target} ${paths}\n")
    endforeach()
    file(WRITE ${PROJECT_BINARY_DIR}/test-tiers.txt "${lines}")
endfunction()
