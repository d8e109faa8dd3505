# The Debian package, built by `cpack -G DEB` (tools/build-deb.sh configures
# the build for it: prefix /usr, Debian's documents, the distribution's
# hardening flags).
set(CPACK_PACKAGE_NAME tundrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Tundrel developers")
set(CPACK_PACKAGE_CONTACT "${TUNDREL_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "icy polar brick-breaking arcade game")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
# The menu entry names the game by its full path, so keep the configured prefix.
set(CPACK_PACKAGING_INSTALL_PREFIX "${CMAKE_INSTALL_PREFIX}")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TUNDREL_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TUNDREL_SITE_URL}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The game finds its font through fontconfig; DejaVu Sans Mono is the match.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The summary above is the synopsis line; this is the extended text.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Steer the icebreaker along the bottom of the night field, keep the frost
ball in play and break the ice through five levels. From level to level the
ball flies faster, the bricks are worth more and reinforced ice spreads.
Three balls, five levels, and the five best results are kept.
.
The game is played with the mouse or the keyboard; its sounds are
synthesised and it ships no data files. All on-screen text is Norwegian.")

include(CPack)
