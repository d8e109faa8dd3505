# Cross-building for 64-bit Windows with Debian's MinGW-w64 (the POSIX
# threads flavour, which C++11 threads need). TUNDREL_WIN64_PREFIX names the
# folder holding SFML and its libraries built for Windows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(TUNDREL_WIN64_PREFIX "$ENV{TUNDREL_WIN64_PREFIX}" CACHE PATH "SFML and its libraries built for Windows")
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${TUNDREL_WIN64_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# DLLs are followed with MinGW's objdump, also on this Linux machine.
set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND x86_64-w64-mingw32-objdump)

# Programs built here run under Wine (the icon tool at build time, the
# tests), finding the libraries' DLLs through WINEPATH (tools/build-windows.sh).
find_program(TUNDREL_WINE wine NO_CMAKE_FIND_ROOT_PATH)
if(TUNDREL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run.sh)
endif()
