# Windows: an installer made with NSIS and a ZIP archive to unpack anywhere, both made by
# `cpack -G NSIS` or `cpack -G ZIP` from the release build. Prepared and checked on Linux only;
# see "Building on Windows" in README.md.
#
# The install tree holds bin/velka-tablewright.exe; at install time windeployqt puts beside it
# the Qt DLLs the program uses, the platform and style plugins, and Qt's Japanese texts merged
# into translations/qt_ja.qm, where the program looks for them first.

if(TARGET Qt6::windeployqt)
    set(VELKA_WINDEPLOYQT "$<TARGET_FILE:Qt6::windeployqt>")
else()
    find_program(VELKA_WINDEPLOYQT windeployqt
        HINTS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}" REQUIRED)
endif()

install(CODE "
    execute_process(
        COMMAND \"${VELKA_WINDEPLOYQT}\" --translations ja --no-system-d3d-compiler
                --no-opengl-sw
                \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/velka-tablewright.exe\"
        COMMAND_ERROR_IS_FATAL ANY)
")
install(FILES ${PROJECT_SOURCE_DIR}/docs/guide.md ${PROJECT_SOURCE_DIR}/packaging/copyright
    DESTINATION doc)

set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_PACKAGE_FILE_NAME velka-tablewright-${PROJECT_VERSION}-windows-x64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Velka Tablewright")
# A Start menu entry for the program, which NSIS looks for in bin/.
set(CPACK_PACKAGE_EXECUTABLES velka-tablewright "Velka Tablewright")
set(CPACK_NSIS_DISPLAY_NAME "Velka Tablewright")
set(CPACK_NSIS_PACKAGE_NAME "Velka Tablewright")
set(CPACK_NSIS_INSTALLED_ICON_NAME bin/velka-tablewright.exe)
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/desktop/icons/velka-tablewright.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/desktop/icons/velka-tablewright.ico)
set(CPACK_NSIS_URL_INFO_ABOUT ${GroupHomePageAddress})
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# Installed per machine under Program Files; nothing is written outside it but the Start menu
# entry and the uninstaller's registration.
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
