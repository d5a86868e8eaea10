# The Debian package of the build at hand (`cpack -G DEB` in the build
# directory): the shell in /opt/korvel with its splash picture and, on the
# production engine, the engine's files beside it; a desktop entry and an
# icon in the hicolor theme. dpkg-shlibdeps works out the dependencies on
# shared libraries. A link-check build (stand-in libcef.so) packages nothing.

if(KORVEL_LINK_CHECK)
  return()
endif()

set(korvel_dir opt/korvel)
install(TARGETS korvel RUNTIME DESTINATION ${korvel_dir})
# Read from the working directory, which the desktop entry sets.
install(FILES "${PROJECT_BINARY_DIR}/splash/loading.pixel"
        DESTINATION ${korvel_dir})
foreach(path ${KORVEL_CEF_FILES})
  if(IS_DIRECTORY "${path}")
    install(DIRECTORY "${path}" DESTINATION ${korvel_dir})
  else()
    install(FILES "${path}" DESTINATION ${korvel_dir})
  endif()
endforeach()

set(packaging "${PROJECT_SOURCE_DIR}/packaging")
install(FILES "${packaging}/korvel.desktop" DESTINATION usr/share/applications)
install(FILES "${packaging}/korvel.svg"
        DESTINATION usr/share/icons/hicolor/scalable/apps)
install(FILES "${packaging}/copyright" DESTINATION usr/share/doc/korvel)
install(FILES "${packaging}/lintian-overrides"
        DESTINATION usr/share/lintian/overrides RENAME korvel)
# Debian wants the changelog compressed, reproducibly (no name or time).
set(changelog "${PROJECT_BINARY_DIR}/packaging/changelog.gz")
add_custom_command(OUTPUT "${changelog}"
  COMMAND "${CMAKE_COMMAND}" -E make_directory
          "${PROJECT_BINARY_DIR}/packaging"
  COMMAND sh -c "gzip -9n < '${packaging}/changelog' > '${changelog}'"
  DEPENDS "${packaging}/changelog" VERBATIM)
add_custom_target(korvel_changelog ALL DEPENDS "${changelog}")
install(FILES "${changelog}" DESTINATION usr/share/doc/korvel)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvel)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "Korvel maintainers <maintainers@korvel.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop shell of the Korvel application")
set(CPACK_PACKAGE_DESCRIPTION "Opens the Korvel web application, served by its local\n\
backend, in a window of its own and gives its pages access to the desktop.")
# Destinations are paths below the root: opt/korvel, usr/share/...
set(CPACK_PACKAGING_INSTALL_PREFIX /)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# xdg-open opens addresses outside the application.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
if(KORVEL_ENGINE STREQUAL "production")
  # libcef.so comes with the package.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
      "${PROJECT_BINARY_DIR}/app")
endif()
include(CPack)
