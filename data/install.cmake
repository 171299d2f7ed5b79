# Installation: the game, its help, and what a desktop needs to offer it (the
# desktop entry, the icons, the AppStream data, the manual page), with the
# licence as Debian's copyright file. `cmake --install` puts them under any
# prefix; CPack makes the Debian package from the same rules.

set(QUANDREL_DATA_SRC ${CMAKE_SOURCE_DIR}/data)
set(QUANDREL_DATA_OUT ${CMAKE_BINARY_DIR}/data)
set(QUANDREL_ICON_SIDES 16 24 32 48 64 128 256)
set(QUANDREL_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/quandrel3d)
set(QUANDREL_MAINTAINER "The Quandrel 3D developers <developers@quandrel3d.invalid>" CACHE STRING
    "Maintainer of the Debian package")
set(QUANDREL_HELP_PATH "${QUANDREL_FULL_DATADIR}/Quandrel3D.chm")

# ---- the program and its help ----------------------------------------------

install(TARGETS quandrel3d RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/src/resources/help/Quandrel3D.chm
        DESTINATION ${QUANDREL_INSTALL_DATADIR})

# ---- icons: drawn by the icons tool from the icon the program shows ---------

set(icon_files)
foreach(side ${QUANDREL_ICON_SIDES})
  list(APPEND icon_files ${QUANDREL_DATA_OUT}/icons/${side}x${side}/apps/${QUANDREL_APP_ID}.png)
  install(FILES ${QUANDREL_DATA_OUT}/icons/${side}x${side}/apps/${QUANDREL_APP_ID}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${side}x${side}/apps)
endforeach()
# A sanitizer build's tool must not fail the build over Qt's own leaks.
add_custom_command(OUTPUT ${icon_files}
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
          $<TARGET_FILE:icons> ${QUANDREL_DATA_OUT}/icons ${QUANDREL_APP_ID} ${QUANDREL_ICON_SIDES}
  DEPENDS icons
  COMMENT "Drawing the icons")

# ---- desktop entry, AppStream data, manual page, copyright ------------------

configure_file(${QUANDREL_DATA_SRC}/quandrel3d.metainfo.xml.in
               ${QUANDREL_DATA_OUT}/${QUANDREL_APP_ID}.metainfo.xml @ONLY)
configure_file(${QUANDREL_DATA_SRC}/quandrel3d.6.in ${QUANDREL_DATA_OUT}/quandrel3d.6 @ONLY)
configure_file(${QUANDREL_DATA_SRC}/changelog.in ${QUANDREL_DATA_OUT}/changelog @ONLY)

# The copyright file in Debian's machine-readable form, from LICENSE: the
# copyright line, then the permission text as the licence's paragraph.
file(READ ${CMAKE_SOURCE_DIR}/LICENSE licence)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/LICENSE)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" _ "${licence}")
set(QUANDREL_COPYRIGHT "${CMAKE_MATCH_1}")
string(FIND "${licence}" "Permission is hereby granted" start)
string(SUBSTRING "${licence}" ${start} -1 licence)
string(STRIP "${licence}" licence)
string(REPLACE "\n\n" "\n.\n" licence "${licence}")
string(REPLACE "\n" "\n " QUANDREL_LICENCE_TEXT " ${licence}")
configure_file(${QUANDREL_DATA_SRC}/copyright.in ${QUANDREL_DATA_OUT}/copyright @ONLY)

# Manual pages and changelogs go compressed, without a time stamp.
find_program(GZIP_PROGRAM gzip REQUIRED)
add_custom_command(OUTPUT ${QUANDREL_DATA_OUT}/quandrel3d.6.gz ${QUANDREL_DATA_OUT}/changelog.gz
  COMMAND ${GZIP_PROGRAM} -9 -n -c ${QUANDREL_DATA_OUT}/quandrel3d.6 > ${QUANDREL_DATA_OUT}/quandrel3d.6.gz
  COMMAND ${GZIP_PROGRAM} -9 -n -c ${QUANDREL_DATA_OUT}/changelog > ${QUANDREL_DATA_OUT}/changelog.gz
  DEPENDS ${QUANDREL_DATA_OUT}/quandrel3d.6 ${QUANDREL_DATA_OUT}/changelog
  COMMENT "Compressing the manual page and the changelog")
add_custom_target(install_data ALL DEPENDS ${icon_files}
  ${QUANDREL_DATA_OUT}/quandrel3d.6.gz ${QUANDREL_DATA_OUT}/changelog.gz)

# The menu entry starts the program where this installation puts it, so
# that it works under any prefix and whether or not that folder is on the
# PATH (/usr/games is not on the superuser's); written at install time,
# when the prefix is known.
install(CODE "
  set(QUANDREL_APP_ID \"${QUANDREL_APP_ID}\")
  set(bindir \"${CMAKE_INSTALL_BINDIR}\")
  if(NOT IS_ABSOLUTE \"\${bindir}\")
    set(bindir \"\${CMAKE_INSTALL_PREFIX}/\${bindir}\")
  endif()
  set(QUANDREL_EXEC \"\${bindir}/quandrel3d\")
  if(QUANDREL_EXEC MATCHES \"[^-A-Za-z0-9_./+]\")
    set(QUANDREL_EXEC \"\\\"\${QUANDREL_EXEC}\\\"\")
  endif()
  configure_file(\"${QUANDREL_DATA_SRC}/quandrel3d.desktop.in\"
                 \"${QUANDREL_DATA_OUT}/${QUANDREL_APP_ID}.desktop\" @ONLY)
")
install(FILES ${QUANDREL_DATA_OUT}/${QUANDREL_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${QUANDREL_DATA_OUT}/${QUANDREL_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${QUANDREL_DATA_OUT}/quandrel3d.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${QUANDREL_DATA_OUT}/copyright DESTINATION ${QUANDREL_DOCDIR})
install(FILES ${QUANDREL_DATA_OUT}/changelog.gz DESTINATION ${QUANDREL_DOCDIR})

# ---- the Debian package ----------------------------------------------------

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quandrel3d)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Quandrel 3D developers")
set(CPACK_PACKAGE_CONTACT "${QUANDREL_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "3D falling-block puzzle game")
set(CPACK_PACKAGE_DESCRIPTION "\
Blocks of four cubes, in seven shapes, fall one after another into a well
10 cells wide and 20 cells deep. Move them left and right, turn them, hurry
them down or drop them, so that they complete rows. Full rows burst out of
the well and the rows above move down.

Rows removed high in the well, and by consecutive blocks, score more. The
level rises from 0 to 9 and makes the blocks fall faster. Beside the well
the seven shapes stand with the number used of each, and the next shape
turns in place. The ten best results are kept in a high-score table.

The well is drawn in 3D by the game's own software renderer; no graphics
card is needed.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUANDREL_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# On a Wayland desktop Qt draws natively with this; without it the game
# runs through the X compatibility layer.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# Install with the real prefix into the staging folder, so that what is
# written at install time (the menu entry's program path) names /usr.
set(CPACK_SET_DESTDIR ON)
include(CPack)
