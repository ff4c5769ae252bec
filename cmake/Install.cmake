# Installing the game the Linux way: the program in bin, its pictures and tunes in share/vantorix
# (found there relative to the program), a desktop entry, icons drawn by the asset generator, AppStream
# metainfo and the manual page; the score server is a component of its own. `cpack -G DEB` makes one
# Debian package per component.
include(GNUInstallDirs)

set(VANTORIX_APP_ID org.vantorix.Vantorix)
set(VANTORIX_HOMEPAGE "http://${VANTORIX_SERVER_HOST}" CACHE STRING
    "The game's home page, named in the AppStream metainfo (its screenshots are under /screenshots/)")

if(VANTORIX_GAME)
# The icons in the hicolor theme's layout, drawn from the player's ship.
set(ICON_FOLDER ${CMAKE_BINARY_DIR}/icons/hicolor)
add_custom_command(
  OUTPUT ${ICON_FOLDER}/scalable/apps/vantorix.svg
  COMMAND assetgen --icons ${ICON_FOLDER}
  DEPENDS assetgen
  COMMENT "Drawing the desktop icons")
add_custom_target(icons ALL DEPENDS ${ICON_FOLDER}/scalable/apps/vantorix.svg)

configure_file(${CMAKE_SOURCE_DIR}/dist/${VANTORIX_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/dist/${VANTORIX_APP_ID}.metainfo.xml @ONLY)

install(TARGETS vantorix RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT game)
install(FILES ${CMAKE_BINARY_DIR}/Data/Data.pp DESTINATION ${CMAKE_INSTALL_DATADIR}/vantorix/Data COMPONENT game)
install(FILES ${CMAKE_BINARY_DIR}/sound/1.xm ${CMAKE_BINARY_DIR}/sound/2.xm
        DESTINATION ${CMAKE_INSTALL_DATADIR}/vantorix/sound COMPONENT game)
install(DIRECTORY ${ICON_FOLDER} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons COMPONENT game)
install(FILES ${CMAKE_SOURCE_DIR}/dist/${VANTORIX_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT game)
install(FILES ${CMAKE_BINARY_DIR}/dist/${VANTORIX_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT game)
install(FILES ${CMAKE_SOURCE_DIR}/dist/vantorix.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6 COMPONENT game)
endif()

install(TARGETS vantorix-scoreserver RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT scoreserver)
install(FILES ${CMAKE_SOURCE_DIR}/tools/scoreserver/README.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR}-scoreserver COMPONENT scoreserver)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/tools/scoreserver/deploy/
        DESTINATION ${CMAKE_INSTALL_DOCDIR}-scoreserver/examples COMPONENT scoreserver)

# Debian packages: vantorix_<version>_<arch>.deb and vantorix-scoreserver_<version>_<arch>.deb, their
# library dependencies found by dpkg-shlibdeps. Package from a build without the sanitizers.
set(CPACK_PACKAGE_NAME vantorix)
set(CPACK_PACKAGE_VENDOR "VANTORIX Team")
set(CPACK_PACKAGE_CONTACT "VANTORIX Team <vantorix@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
if(VANTORIX_GAME)
  set(CPACK_COMPONENTS_ALL game scoreserver)
else()
  set(CPACK_COMPONENTS_ALL scoreserver)
endif()
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_GAME_PACKAGE_NAME vantorix)
set(CPACK_DEBIAN_GAME_PACKAGE_DEPENDS "fonts-jura, fonts-dosis, fonts-dejavu-core")
set(CPACK_DEBIAN_GAME_PACKAGE_RECOMMENDS "xdg-utils")
# A component's description: its first line is the package's summary.
set(CPACK_COMPONENT_GAME_DESCRIPTION "Arcade space shooter
Fly a warship through waves of fighters, asteroids and bosses; collect bonuses, and keep the
best results in a local top ten or send them to a score server. Keyboard, mouse or gamepad.")
set(CPACK_DEBIAN_SCORESERVER_PACKAGE_NAME vantorix-scoreserver)
set(CPACK_DEBIAN_SCORESERVER_PACKAGE_SECTION net)
set(CPACK_DEBIAN_SCORESERVER_PACKAGE_SUGGESTS "nginx, postgresql")
set(CPACK_COMPONENT_SCORESERVER_DESCRIPTION "Online high-score table server for VANTORIX
A small HTTP server that takes the game's online results and shows the high-score table.")
include(CPack)

if(VANTORIX_TESTS AND VANTORIX_GAME)
  add_test(NAME Install.DesktopFilesAreInPlaceAndValid
           COMMAND ${CMAKE_SOURCE_DIR}/tests/install-check.sh ${CMAKE_BINARY_DIR})
endif()
