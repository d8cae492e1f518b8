# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix), the
# POSIX thread model that std::thread and std::mutex need. The C and C++ runtimes and winpthread
# are linked statically, so a test program runs without any DLL of the toolchain beside it.
# The programs built run here under Wine, in a Wine prefix of their own in the build directory.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VELKA_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VELKA_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELKA_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VELKA_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VELKA_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Debian keeps Wine's 64-bit loader and its server off the PATH. The prefix is made and its
# server started once before the tests run, by a test fixture (tests/CMakeLists.txt). Wine's
# .NET and HTML engines (which it would offer to download) and its menu builder (which writes
# into the home folder) stay off.
find_program(VELKA_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
find_program(VELKA_WINESERVER NAMES wineserver PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
set(VELKA_WINE_ENVIRONMENT
    WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix WINEDEBUG=-all
    WINEDLLOVERRIDES=mscoree,mshtml,winemenubuilder.exe=d)
if(VELKA_WINE64)
    set(CMAKE_CROSSCOMPILING_EMULATOR env ${VELKA_WINE_ENVIRONMENT} ${VELKA_WINE64})
endif()
