# The Debian package, built by `cpack -G DEB` (tools/build-deb.sh configures
# the build for it: prefix /usr, Debian's documents, the distribution's
# hardening flags).
set(CPACK_PACKAGE_NAME tundrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Tundrel developers")
set(CPACK_PACKAGE_CONTACT "${TUNDREL_MAINTAINER}")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
# The menu entry names the game by its full path, so keep the configured prefix.
set(CPACK_PACKAGING_INSTALL_PREFIX "${CMAKE_INSTALL_PREFIX}")

# The Debian revision says which release the package is for, e.g. 1~deb12u1.
set(TUNDREL_DEBIAN_REVISION "1" CACHE STRING "Debian revision of the package version")
set(CPACK_DEBIAN_PACKAGE_RELEASE "${TUNDREL_DEBIAN_REVISION}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TUNDREL_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TUNDREL_SITE_URL}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The game finds its font through fontconfig; DejaVu Sans Mono is the match.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The description is debian/control's, so both packages say the same.
file(READ ${CMAKE_CURRENT_SOURCE_DIR}/debian/control _tundrel_control)
if(NOT _tundrel_control MATCHES "\nDescription: ([^\n]*)\n(( [^\n]*\n?)*)")
  message(FATAL_ERROR "debian/control has no Description")
endif()
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${CMAKE_MATCH_1}")
string(REGEX REPLACE "(^|\n) " "\\1" CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CMAKE_MATCH_2}")
string(STRIP "${CPACK_DEBIAN_PACKAGE_DESCRIPTION}" CPACK_DEBIAN_PACKAGE_DESCRIPTION)

include(CPack)
