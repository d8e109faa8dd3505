# The Windows game's resources: its icon, drawn by the game's own icon code
# at build time (the tool runs under the cross-build's emulator), and its
# version information.
set(_tundrel_ico ${CMAKE_CURRENT_BINARY_DIR}/tundrel.ico)
add_custom_command(OUTPUT ${_tundrel_ico}
  COMMAND tundrel_icons --ico ${_tundrel_ico}
  DEPENDS tundrel_icons VERBATIM)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/packaging/tundrel.rc.in ${CMAKE_CURRENT_BINARY_DIR}/tundrel.rc @ONLY)
target_sources(tundrel PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/tundrel.rc)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/tundrel.rc PROPERTIES OBJECT_DEPENDS ${_tundrel_ico})
