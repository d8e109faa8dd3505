# The Windows zip and installer, made by `cpack -G "ZIP;NSIS"` from the
# install rules of the "windows" component (cmake/TundrelWindows.cmake).
set(CPACK_PACKAGE_NAME Tundrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Tundrel developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Tundrel, an icy polar brick-breaking arcade game")
set(CPACK_PACKAGE_FILE_NAME tundrel-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Tundrel)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Tundrel)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_BINARY_DIR}/windows/LICENSE.txt)
set(CPACK_STRIP_FILES ON)
# Only what the Windows player gets, without a component page in the installer.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_CURRENT_BINARY_DIR};Tundrel;windows;/")
set(CPACK_GENERATOR ZIP NSIS)
# Every run packs the same bytes for the same files.
set(CPACK_ARCHIVE_THREADS 1)

# The installer's template is ours (packaging/NSIS.template.in): per user.
set(CPACK_MODULE_PATH ${CMAKE_CURRENT_SOURCE_DIR}/packaging)
set(CPACK_NSIS_DISPLAY_NAME "Tundrel ${PROJECT_VERSION}")
set(CPACK_NSIS_INSTALL_ROOT "$LOCALAPPDATA\\\\Programs")
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
set(CPACK_NSIS_MUI_ICON ${CMAKE_CURRENT_BINARY_DIR}/tundrel.ico)
set(CPACK_NSIS_MUI_UNIICON ${CMAKE_CURRENT_BINARY_DIR}/tundrel.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME tundrel.exe)
set(CPACK_TUNDREL_VERSION_QUAD ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.0)
set(CPACK_TUNDREL_COPYRIGHT "Copyright 2026 The Tundrel developers, MIT licence")
# The installer is named apart from the zip.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/TundrelCPackNames.cmake)

include(CPack)
