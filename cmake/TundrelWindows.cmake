# The Windows game's resources, its zip and installer.

# README and licence with Windows line ends, the licence as .txt.
foreach(_doc README.md LICENSE)
  set(_in ${CMAKE_CURRENT_SOURCE_DIR}/${_doc})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_in})
  file(READ ${_in} _text)
  string(REPLACE "\n" "\r\n" _text "${_text}")
  string(REGEX REPLACE "^LICENSE$" "LICENSE.txt" _doc ${_doc})
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/windows/${_doc} "${_text}")
endforeach()

include(${CMAKE_CURRENT_LIST_DIR}/TundrelPackage.cmake)

# The icon is drawn by the game's own icon code at build time (the tool runs
# under the cross-build's emulator).
set(_tundrel_ico ${CMAKE_CURRENT_BINARY_DIR}/tundrel.ico)
add_custom_command(OUTPUT ${_tundrel_ico}
  COMMAND tundrel_icons --ico ${_tundrel_ico}
  DEPENDS tundrel_icons VERBATIM)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/packaging/tundrel.rc.in ${CMAKE_CURRENT_BINARY_DIR}/tundrel.rc @ONLY)
target_sources(tundrel PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/tundrel.rc)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/tundrel.rc PROPERTIES OBJECT_DEPENDS ${_tundrel_ico})

# Everything in one folder: the game, the DLLs it loads, the documents and
# every library's licence. CMake follows the DLLs from the game through
# the libraries' prefix and the MinGW runtime; Windows' own, which Wine's
# folder holds too, stay out.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-search-dirs OUTPUT_VARIABLE _tundrel_dirs)
string(REGEX MATCH "\nlibraries: =([^\n]*)" _tundrel_dirs "${_tundrel_dirs}")
string(REPLACE ":" ";" _tundrel_dirs "${CMAKE_MATCH_1}")
find_path(TUNDREL_WINE_SYSTEM_DIR kernel32.dll
          PATHS /usr/lib/x86_64-linux-gnu/wine/x86_64-windows /usr/lib/wine/x86_64-windows
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
install(TARGETS tundrel RUNTIME_DEPENDENCY_SET tundrel_dlls RUNTIME DESTINATION . COMPONENT windows)
install(RUNTIME_DEPENDENCY_SET tundrel_dlls DESTINATION . COMPONENT windows
  DIRECTORIES ${TUNDREL_WIN64_PREFIX}/bin ${_tundrel_dirs} ${TUNDREL_WINE_SYSTEM_DIR}
  POST_EXCLUDE_FILES_STRICT
  POST_EXCLUDE_REGEXES "^${TUNDREL_WINE_SYSTEM_DIR}/")
# The MinGW runtime's DLLs come with their symbols.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    file(GLOB _dlls \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/*.dll\")
    foreach(_dll IN LISTS _dlls)
      execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded \"\${_dll}\" COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
  endif()" COMPONENT windows)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/windows/README.md ${CMAKE_CURRENT_BINARY_DIR}/windows/LICENSE.txt
        DESTINATION . COMPONENT windows)
install(DIRECTORY ${TUNDREL_WIN64_PREFIX}/share/licenses/ DESTINATION licenses COMPONENT windows)
