# Configures the whole program, windows and all, for Windows with the same toolchain, Qt being
# stood in for (stand-in-qt6/) and pkg-config finding nothing: configuration must complete
# without Qt's D-Bus module or any Linux library (libcanberra), which only Linux's adapters use.
#
#   cmake -DSOURCE_DIR=… -DWORK_DIR=… -P ConfigureTheProgram.cmake
file(REMOVE_RECURSE ${WORK_DIR})
set(ENV{PKG_CONFIG_LIBDIR} ${WORK_DIR}/no-pkg-config)
execute_process(
    COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR} -G Ninja
            -DCMAKE_TOOLCHAIN_FILE=${SOURCE_DIR}/cmake/MinGW-w64-x86_64.cmake
            -DCMAKE_BUILD_TYPE=Release -DVELKA_BUILD_TESTS=OFF
            -DQt6_DIR=${SOURCE_DIR}/tests/windows/stand-in-qt6 -DVELKA_WINDEPLOYQT=windeployqt
    RESULT_VARIABLE result
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR output MATCHES "canberra")
    message(FATAL_ERROR "The program's Windows configuration failed:\n${output}")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
