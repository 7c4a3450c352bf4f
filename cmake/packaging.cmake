# What the packages hold, and how CPack makes them (scripts/package.sh):
# - the "portable" component: the program, data/, the player's README
#   (packaging/README: controls, settings, files) and the licence in one
#   folder, run from there (the Windows zip and the Linux archive); the
#   zip's texts as README.txt and LICENSE.txt with CR LF line ends, which
#   open on a double-click on Windows;
# - the "system" component: the Debian package in Debian's layout for games:
#   the launcher in /usr/games, the program in /usr/libexec/vale, the data
#   in /usr/share/games/vale; the desktop entry, the icons, the AppStream
#   metainfo, the manual page and the changelog.
set(DATA_EXCLUDES PATTERN fps.txt EXCLUDE PATTERN .stamp EXCLUDE)
if(EMSCRIPTEN)
  # The browser's folder, as any static web server serves it.
  install(DIRECTORY ${VALE_SITE}/ DESTINATION . COMPONENT portable)
  install(FILES packaging/README DESTINATION . RENAME README.txt COMPONENT portable)
  install(FILES LICENSE DESTINATION . COMPONENT portable)
elseif(WIN32)
  set(portable)
  set(VALE_TEXTS ${CMAKE_BINARY_DIR}/texts)
  foreach(text packaging/README LICENSE)
    file(READ ${CMAKE_SOURCE_DIR}/${text} body)
    string(REPLACE "\r\n" "\n" body "${body}")
    string(REPLACE "\n" "\r\n" body "${body}")
    get_filename_component(name ${text} NAME)
    file(WRITE ${VALE_TEXTS}/${name}.txt "${body}")
    install(FILES ${VALE_TEXTS}/${name}.txt DESTINATION . COMPONENT portable)
  endforeach()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/packaging/README ${CMAKE_SOURCE_DIR}/LICENSE)
else()
  set(portable EXCLUDE_FROM_ALL)  # a plain install takes the system layout
  install(FILES packaging/README LICENSE DESTINATION . COMPONENT portable ${portable})
endif()
if(NOT EMSCRIPTEN)
  install(TARGETS vale RUNTIME DESTINATION . COMPONENT portable ${portable})
  install(DIRECTORY ${CMAKE_BINARY_DIR}/data/ DESTINATION data COMPONENT portable ${portable} ${DATA_EXCLUDES})
endif()

if(NOT WIN32 AND NOT EMSCRIPTEN)
  install(TARGETS vale RUNTIME DESTINATION libexec/vale COMPONENT system)
  # Stripped of the compiler's notes too, which a package has no use for.
  install(CODE "execute_process(COMMAND ${CMAKE_OBJCOPY} --remove-section=.comment
                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/libexec/vale/vale\")" COMPONENT system)
  install(PROGRAMS packaging/vale.sh DESTINATION games RENAME vale COMPONENT system)
  install(DIRECTORY ${CMAKE_BINARY_DIR}/data/ DESTINATION share/games/vale/data COMPONENT system ${DATA_EXCLUDES})
  install(FILES packaging/vale.desktop DESTINATION share/applications COMPONENT system)
  install(DIRECTORY ${VALE_ICONS}/hicolor DESTINATION share/icons COMPONENT system)
  configure_file(packaging/org.example.vale.metainfo.xml ${CMAKE_BINARY_DIR}/packaging/org.example.vale.metainfo.xml
                 @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/org.example.vale.metainfo.xml DESTINATION share/metainfo
          COMPONENT system)
  # The manual page and the changelog, compressed as Debian asks: at the
  # highest level and without a time stamp, so the same bytes every build.
  set(VALE_GZ ${CMAKE_BINARY_DIR}/packaging/vale.6.gz ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
  add_custom_command(OUTPUT ${VALE_GZ}
    COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/packaging/vale.6 > ${CMAKE_BINARY_DIR}/packaging/vale.6.gz
    COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/packaging/changelog > ${CMAKE_BINARY_DIR}/packaging/changelog.gz
    DEPENDS packaging/vale.6 packaging/changelog)
  add_custom_target(package_docs ALL DEPENDS ${VALE_GZ})
  install(FILES ${CMAKE_BINARY_DIR}/packaging/vale.6.gz DESTINATION share/man/man6 COMPONENT system)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz packaging/README DESTINATION share/doc/vale COMPONENT system)
  install(FILES LICENSE DESTINATION share/doc/vale RENAME copyright COMPONENT system)
endif()

set(CPACK_PACKAGE_NAME vale)
set(CPACK_PACKAGE_VENDOR ${VALE_VENDOR})
set(CPACK_PACKAGE_CONTACT "The Vale developers <vale@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "first-person landscape demo with beach balls")
set(CPACK_COMPONENT_SYSTEM_DESCRIPTION "Walk an endlessly repeating hilly landscape with mouse look, an animated
weapon in view, and ten beach balls that fall, bounce, roll, collide and
can be shot. OpenGL 1.1.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_STRIP_FILES ON)
if(EMSCRIPTEN)
  set(CPACK_GENERATOR ZIP)
  set(VALE_ARCHIVE_NAME vale-${PROJECT_VERSION}-web)
elseif(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(VALE_ARCHIVE_NAME vale-${PROJECT_VERSION}-win64)
else()
  set(CPACK_GENERATOR "DEB;TGZ")
  set(VALE_ARCHIVE_NAME vale-${PROJECT_VERSION}-linux-${CMAKE_SYSTEM_PROCESSOR})
  set(CPACK_DEBIAN_SYSTEM_PACKAGE_NAME vale)
  set(CPACK_DEBIAN_SYSTEM_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION games)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://example.org/vale")
endif()
# Each generator packs its own layout.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/cmake/cpack-per-generator.cmake)
# The archive's name, and that of the one folder it unpacks into.
set(CPACK_PACKAGE_FILE_NAME ${VALE_ARCHIVE_NAME})
set(CPACK_ARCHIVE_PORTABLE_FILE_NAME ${VALE_ARCHIVE_NAME})
include(CPack)
