# The Debian package, built by scripts/package.sh with `cpack -G DEB`. What the package needs of
# the system: the libraries the program and its players' page module link (Qt, libmicrohttpd,
# libqrencode; found by dpkg-shlibdeps), the event-sound library that the program loads with
# its first sound, a Japanese gothic font, Qt's own Japanese texts for the buttons of its
# standard dialogs, the sound library's PulseAudio backend and the sound theme for the round's
# sounds, and the time zone database for the time of day. The recommended package brings Qt the
# input-method plugin of fcitx5; the one of IBus comes with libqt6gui6.

set(CPACK_PACKAGE_NAME velka-tablewright)
set(CPACK_PACKAGE_VENDOR "Velka Software")
set(CPACK_PACKAGE_CONTACT "Velka Software <velka@velka.example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tournament draw, bracket board and event timer")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
if(WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/WindowsPackaging.cmake)
    include(CPack)
    return()
endif()
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${GroupHomePageAddress})
# The synopsis line comes from CPACK_PACKAGE_DESCRIPTION_SUMMARY; this is the text below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Velka Tablewright is a desktop tool for the organiser of a small card-game
tournament. It draws the field at random from the entrants typed in, writes
it into a bracket of up to 16 players with byes, and lets the organiser tick
off the winners on the bracket board. A large event clock shows the time of
day and counts down a round.
.
Its windows are in Japanese.")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Without the library, its backend and the theme the timer is silent; without the zones it shows
# UTC.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-ipafont-gothic | fonts-noto-cjk, qt6-translations-l10n, libcanberra0, libcanberra-pulse, sound-theme-freedesktop, tzdata")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fcitx5-frontend-qt6")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "fcitx5-mozc | ibus-mozc")

include(CPack)
