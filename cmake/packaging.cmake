# What the packages hold, and how CPack makes them (scripts/package.sh):
# - the "portable" component: the program, data/, README and licence in one
#   folder, run from there (the Windows zip and the Linux archive);
# - the "system" component: the Debian package, the program under libexec,
#   its launcher on the PATH, the data under share/vale, a desktop entry and
#   an icon.
include(GNUInstallDirs)
set(DATA_EXCLUDES PATTERN fps.txt EXCLUDE PATTERN .stamp EXCLUDE)
if(WIN32)
  set(portable)
else()
  set(portable EXCLUDE_FROM_ALL)  # a plain install takes the system layout
endif()
install(TARGETS vale RUNTIME DESTINATION . COMPONENT portable ${portable})
install(DIRECTORY ${CMAKE_BINARY_DIR}/data/ DESTINATION data COMPONENT portable ${portable} ${DATA_EXCLUDES})
install(FILES README.md LICENSE DESTINATION . COMPONENT portable ${portable})
if(NOT WIN32)
  install(TARGETS vale RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/vale COMPONENT system)
  install(PROGRAMS packaging/vale.sh DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME vale COMPONENT system)
  install(DIRECTORY ${CMAKE_BINARY_DIR}/data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/vale/data COMPONENT system
          ${DATA_EXCLUDES})
  install(FILES packaging/vale.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT system)
  install(FILES ${VALE_ICON_PNG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps COMPONENT system)
  install(FILES README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vale COMPONENT system)
  install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vale RENAME copyright COMPONENT system)
endif()

set(CPACK_PACKAGE_NAME vale)
set(CPACK_PACKAGE_VENDOR "The Vale developers")
set(CPACK_PACKAGE_CONTACT "The Vale developers <vale@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "first-person landscape demo with beach balls")
set(CPACK_COMPONENT_SYSTEM_DESCRIPTION "Walk an endlessly repeating hilly landscape with mouse look, an animated
weapon in view, and ten beach balls that fall, bounce, roll, collide and
can be shot. OpenGL 1.1.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_STRIP_FILES ON)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(VALE_ARCHIVE_NAME vale-${PROJECT_VERSION}-win64)
else()
  set(CPACK_GENERATOR "DEB;TGZ")
  set(VALE_ARCHIVE_NAME vale-${PROJECT_VERSION}-linux-${CMAKE_SYSTEM_PROCESSOR})
  set(CPACK_DEBIAN_SYSTEM_PACKAGE_NAME vale)
  set(CPACK_DEBIAN_SYSTEM_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION games)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://example.org/vale")
endif()
# Each generator packs its own layout.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/cmake/cpack-per-generator.cmake)
# The archive's name, and that of the one folder it unpacks into.
set(CPACK_PACKAGE_FILE_NAME ${VALE_ARCHIVE_NAME})
set(CPACK_ARCHIVE_PORTABLE_FILE_NAME ${VALE_ARCHIVE_NAME})
include(CPack)
