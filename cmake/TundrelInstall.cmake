# Where everything goes on `cmake --install` and in the Debian package: the
# game, its menu entry, AppStream data, icons, manual page and documents.
# The documents go under the package's own name, not the project's.
set(CMAKE_INSTALL_DOCDIR "share/doc/tundrel" CACHE PATH "Documentation (DOCDIR)")
include(GNUInstallDirs)

set(TUNDREL_INSTALL_GAMESDIR "games" CACHE STRING
    "Folder for the game binary, relative to the prefix (Debian: games)")
option(TUNDREL_ICON_PNGS
       "Write the icon theme's PNGs at build time (runs the freshly built tundrel_icons)" ON)
option(TUNDREL_INSTALL_LICENSE "Install LICENSE with the documents" ON)

# One reverse-DNS id for the menu entry, the AppStream data and the icon:
# tundrel.example gives example.tundrel.Tundrel.
string(REPLACE "-" "_" _tundrel_labels "${TUNDREL_SITE_LABEL}")
string(REPLACE "." ";" _tundrel_labels "${_tundrel_labels}")
list(REVERSE _tundrel_labels)
list(JOIN _tundrel_labels "." TUNDREL_DEVELOPER_ID)
set(TUNDREL_APP_ID "${TUNDREL_DEVELOPER_ID}.Tundrel" CACHE STRING
    "Reverse-DNS id of the menu entry, AppStream data and icon")

if(IS_ABSOLUTE "${TUNDREL_INSTALL_GAMESDIR}")
  set(TUNDREL_GAME_PATH "${TUNDREL_INSTALL_GAMESDIR}/tundrel")
else()
  set(TUNDREL_GAME_PATH "${CMAKE_INSTALL_PREFIX}/${TUNDREL_INSTALL_GAMESDIR}/tundrel")
endif()

set(_tundrel_out ${CMAKE_CURRENT_BINARY_DIR}/share)
set(_tundrel_in ${CMAKE_CURRENT_SOURCE_DIR}/packaging)
configure_file(${_tundrel_in}/tundrel.desktop.in ${_tundrel_out}/${TUNDREL_APP_ID}.desktop @ONLY)
configure_file(${_tundrel_in}/tundrel.metainfo.xml.in ${_tundrel_out}/${TUNDREL_APP_ID}.metainfo.xml @ONLY)
configure_file(${_tundrel_in}/tundrel.6.in ${_tundrel_out}/tundrel.6 @ONLY)

# The manual page goes in compressed, without a time stamp.
find_program(TUNDREL_GZIP gzip REQUIRED)
add_custom_command(OUTPUT ${_tundrel_out}/tundrel.6.gz
  COMMAND ${TUNDREL_GZIP} -9nc ${_tundrel_out}/tundrel.6 > ${_tundrel_out}/tundrel.6.gz
  DEPENDS ${_tundrel_out}/tundrel.6 VERBATIM)

# The icon theme's PNGs, each size drawn by the game's own icon code.
add_executable(tundrel_icons tools/icon_pngs.cpp)
target_compile_options(tundrel_icons PRIVATE ${TUNDREL_WARNINGS})
target_link_libraries(tundrel_icons PRIVATE tundrel_core)
set(_tundrel_pngs)
if(TUNDREL_ICON_PNGS)
  foreach(_size 16 32 48 64 128 256)
    list(APPEND _tundrel_pngs ${CMAKE_CURRENT_BINARY_DIR}/icons/${_size}x${_size}/apps/${TUNDREL_APP_ID}.png)
  endforeach()
  add_custom_command(OUTPUT ${_tundrel_pngs}
    COMMAND tundrel_icons ${CMAKE_CURRENT_BINARY_DIR}/icons ${TUNDREL_APP_ID}
    DEPENDS tundrel_icons VERBATIM)
endif()
set(_tundrel_data ${_tundrel_pngs} ${_tundrel_out}/tundrel.6.gz)
add_custom_target(tundrel_data ALL DEPENDS ${_tundrel_data})

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(TARGETS tundrel RUNTIME DESTINATION ${TUNDREL_INSTALL_GAMESDIR})
install(FILES ${_tundrel_out}/${TUNDREL_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_tundrel_out}/${TUNDREL_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
if(TUNDREL_ICON_PNGS)
  install(DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/icons/
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
endif()
install(FILES ${_tundrel_out}/tundrel.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
if(TUNDREL_INSTALL_LICENSE)
  install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()
