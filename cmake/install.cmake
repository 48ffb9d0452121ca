# `make install` and `make deb`: the program in <prefix>/lib/pado, the launcher `pado` on the PATH,
# the desktop entry, the icon in the hicolor theme, the AppStream metadata, the manual and the
# sample race that the first start puts into ~/PADO.
include(GNUInstallDirs)

if(TARGET PADO)
  install(TARGETS PADO RUNTIME DESTINATION lib/pado)
  install(PROGRAMS resources/pado-launcher.sh DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME pado)
  install(FILES resources/pado.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  configure_file(resources/pado.metainfo.xml ${CMAKE_BINARY_DIR}/io.pado.PADO.metainfo.xml @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/io.pado.PADO.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES docs/manual.html DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pado)
  install(FILES sample/R1.txt sample/Rall.txt sample/pado.txt sample/kisyuE.txt
    DESTINATION ${CMAKE_INSTALL_DATADIR}/pado/sample)

  # The icon: the drawing itself, and pictures at the sizes menus and docks ask for.
  set(PADO_ICON_SVG ${CMAKE_SOURCE_DIR}/resources/pado.svg)
  set(PADO_ICON_SIZES 16 24 32 48 64 128 256)
  add_executable(pado_icons tools/pado-icons/main.cpp)
  target_link_libraries(pado_icons PRIVATE Qt6::Gui Qt6::Svg)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/hicolor/256x256/apps/pado.png
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:pado_icons> ${PADO_ICON_SVG}
      ${CMAKE_BINARY_DIR}/hicolor ${PADO_ICON_SIZES}
    DEPENDS pado_icons ${PADO_ICON_SVG} VERBATIM)
  add_custom_target(pado_icon_pictures ALL DEPENDS ${CMAKE_BINARY_DIR}/hicolor/256x256/apps/pado.png)
  foreach(size ${PADO_ICON_SIZES})
    install(FILES ${CMAKE_BINARY_DIR}/hicolor/${size}x${size}/apps/pado.png
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
  install(FILES ${PADO_ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME pado.svg)
endif()

# The tools the manual and the program's messages send users to: pado-import feeds the race store and
# builds races; make-race, as pado-make-race, writes invented race data to try it with.
if(TARGET pado-import)
  install(TARGETS pado-import RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(TARGET make-race)
  install(PROGRAMS $<TARGET_FILE:make-race> DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME pado-make-race)
endif()

# Manual pages, the changelog and the copyright file, compressed as Debian keeps them (gzip -n: no name
# or time in the header, so that the package builds the same twice).
set(PADO_GZIPPED)
foreach(page pado.1 pado-import.1 pado-make-race.1 changelog)
  if(page STREQUAL "changelog")
    set(from ${CMAKE_SOURCE_DIR}/resources/changelog)
  else()
    set(from ${CMAKE_SOURCE_DIR}/docs/man/${page})
  endif()
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/gz/${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/gz
    COMMAND sh -c "gzip -9n -c \"$0\" > \"$1\"" ${from} ${CMAKE_BINARY_DIR}/gz/${page}.gz
    DEPENDS ${from} VERBATIM)
  list(APPEND PADO_GZIPPED ${CMAKE_BINARY_DIR}/gz/${page}.gz)
endforeach()
add_custom_target(pado_gzipped_docs ALL DEPENDS ${PADO_GZIPPED})
install(FILES ${CMAKE_BINARY_DIR}/gz/pado.1.gz ${CMAKE_BINARY_DIR}/gz/pado-import.1.gz
  ${CMAKE_BINARY_DIR}/gz/pado-make-race.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/gz/changelog.gz resources/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pado)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pado)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "PADO developers <pado@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop workbench for handicapping one upcoming JRA horse race")
set(CPACK_PACKAGE_DESCRIPTION "PADO reads a race card, the entrants' past runs and the result tables of their past\n\
races and shows careers, head-to-head meetings, passing orders and records at the press of a button;\n\
its assist marks the entrants in the memo pad. Japanese user interface.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# The libraries come from shlibdeps; these are what the program needs beyond them: the pane font,
# the browser opener for the manual, Qt's Japanese texts.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, xdg-utils, qt6-translations-l10n")
# Typing Japanese into the memo pad: fcitx5 needs its Qt 6 front end; ibus works through Qt's own plugin.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fcitx5-frontend-qt6")
include(CPack)
