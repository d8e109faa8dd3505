# SFML 3 and GoogleTest built for 64-bit Windows into PREFIX, in the Windows
# root (tools/build-windows.sh runs it there as a step of the root's recipe):
#
#   cmake -DSFML_SOURCE=<tarball or URL> -DPREFIX=<dir> -P TundrelWin64Libraries.cmake
#
# SFML fetches FreeType, HarfBuzz, SheenBidi, Ogg, Vorbis and FLAC itself;
# Debian's source packages take their place, patched by SFML's own scripts so
# that SFML's settings for them still apply. Every library's licence goes to
# PREFIX/share/licenses, each a .txt that opens with a double-click.
cmake_minimum_required(VERSION 3.25)
set(work /tmp/win64)
set(deps ${work}/sfml-build/_deps)
set(licenses ${PREFIX}/share/licenses)
set(cross -G Ninja -DCMAKE_TOOLCHAIN_FILE=${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64.cmake
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=${PREFIX})
file(MAKE_DIRECTORY ${work})

function(run)
  execute_process(COMMAND nice -n 10 ${ARGN} WORKING_DIRECTORY ${work} COMMAND_ERROR_IS_FATAL ANY)
endfunction()

# unpack(TARBALL DIR): a source tarball's one top folder becomes DIR.
function(unpack tarball dir)
  file(MAKE_DIRECTORY ${dir})
  run(tar -xf ${tarball} -C ${dir} --strip-components=1)
endfunction()

# unpack_package(PACKAGE DIR): a Debian source package's main tarball.
function(unpack_package package dir)
  file(GLOB tarball ${work}/${package}_*.orig.tar.*)
  list(FILTER tarball EXCLUDE REGEX "\\.asc$")
  unpack(${tarball} ${dir})
endfunction()

# licence(NAME FILE...): each FILE as NAME's licence, named as FILE with .txt.
function(licence name)
  foreach(file IN LISTS ARGN)
    get_filename_component(base ${file} NAME)
    string(REGEX REPLACE "\\.(md|txt|TXT)$" "" base ${base})
    configure_file(${file} "${licenses}/${name}/${base}.txt" COPYONLY)
  endforeach()
endfunction()

# excerpt(NAME HEADER FIRST END): a bundled header's licence, from the line
# matching FIRST up to the line matching END, added to NAME's licence.
function(excerpt name header first end)
  execute_process(COMMAND sed -n "/${first}/,/${end}/{/${end}/q;p}" ${header} OUTPUT_VARIABLE text)
  get_filename_component(from ${header} NAME)
  file(APPEND ${licenses}/${name}/${name}-licence.txt "From ${from}:\n\n${text}\n")
endfunction()

# Debian's sources, each from its suite; SheenBidi is only in unstable.
run(apt-get source --download-only --tar-only -o APT::Sandbox::User=root freetype/trixie
    harfbuzz/trixie sheenbidi/sid libogg/trixie libvorbis/trixie flac/trixie googletest/trixie)
if(SFML_SOURCE MATCHES "://")
  file(DOWNLOAD ${SFML_SOURCE} ${work}/sfml.tar.gz STATUS status)
  set(SFML_SOURCE ${work}/sfml.tar.gz)
endif()
set(sfml ${work}/sfml)
unpack(${SFML_SOURCE} ${sfml})
foreach(lib freetype:FREETYPE:Freetype harfbuzz:HARFBUZZ:HarfBuzz sheenbidi:SHEENBIDI:SheenBidi
            libogg:OGG:Ogg libvorbis:VORBIS:Vorbis flac:FLAC:FLAC)
  string(REPLACE ":" ";" lib ${lib})
  list(GET lib 0 package)
  list(GET lib 1 name)
  list(GET lib 2 patch)
  string(TOLOWER ${name}-src dir)
  string(TOLOWER ${patch} tool)
  unpack_package(${package} ${deps}/${dir})
  run(cmake -D${name}_DIR=${deps}/${dir} -P ${sfml}/tools/${tool}/Patch${patch}.cmake)
  list(APPEND fetch -DFETCHCONTENT_SOURCE_DIR_${name}=${deps}/${dir})
endforeach()
run(cmake -S sfml -B sfml-build ${cross} -DBUILD_SHARED_LIBS=ON -DSFML_USE_SYSTEM_DEPS=OFF
    -DSFML_BUILD_NETWORK=OFF -DSFML_BUILD_EXAMPLES=OFF -DSFML_BUILD_DOC=OFF
    -DSFML_INSTALL_PKGCONFIG_FILES=OFF -DFETCHCONTENT_FULLY_DISCONNECTED=ON ${fetch})
run(cmake --build sfml-build -j 2)
run(cmake --install sfml-build)

licence(SFML ${sfml}/license.md)
licence(FreeType ${deps}/freetype-src/LICENSE.TXT ${deps}/freetype-src/docs/FTL.TXT
        ${deps}/freetype-src/docs/GPLv2.TXT)
licence(HarfBuzz ${deps}/harfbuzz-src/COPYING)
licence(SheenBidi ${deps}/sheenbidi-src/LICENSE)
licence(Ogg ${deps}/ogg-src/COPYING)
licence(Vorbis ${deps}/vorbis-src/COPYING)
licence(FLAC ${deps}/flac-src/COPYING.Xiph)
# The headers SFML bundles keep their licences in their own text.
set(headers ${sfml}/extlibs/headers)
excerpt(miniaudio ${headers}/miniaudio/miniaudio.h "^This software is available as a choice" "^\\*\\/")
excerpt(dr_mp3 ${headers}/dr_mp3/dr_mp3.h "^This software is available as a choice" "^\\*\\/")
excerpt(stb_image ${headers}/stb_image/stb_image.h "^This software is available under 2" "^\\*\\/")
excerpt(stb_image ${headers}/stb_image/stb_image_write.h "^This software is available under 2" "^\\*\\/")
excerpt(qoi ${headers}/qoi/qoi.h "^Copyright" "^$")
excerpt(cpp-unicodelib ${headers}/cpp-unicodelib/unicodelib.h "Copyright" "^$")
excerpt(glad ${headers}/glad/include/glad/gl.h "SPDX-License-Identifier" "^ \\*$")
excerpt(glad ${headers}/glad/include/glad/gl.h "Copyright (c) 2008-2018 The Khronos" "^\\*\\/")
excerpt(vulkan ${headers}/vulkan/vulkan_core.h "Copyright" "^\\*\\/")
# glad and the Vulkan headers are under the Apache License, whose text must go along.
licence(glad /usr/share/common-licenses/Apache-2.0)
licence(vulkan /usr/share/common-licenses/Apache-2.0)
# The MinGW runtime's DLLs are the root's.
configure_file(/usr/share/doc/mingw-w64-common/copyright "${licenses}/MinGW-w64 runtime/mingw-w64.txt" COPYONLY)
configure_file(/usr/share/doc/gcc-mingw-w64-base/copyright "${licenses}/MinGW-w64 runtime/gcc.txt" COPYONLY)

# Every bundled header the DLLs were compiled with must have its licence here.
execute_process(COMMAND ninja -C sfml-build -t deps WORKING_DIRECTORY ${work} OUTPUT_VARIABLE used)
string(REGEX MATCHALL "extlibs/headers/[^/]+" used "${used}")
list(REMOVE_DUPLICATES used)
foreach(header IN LISTS used)
  string(REPLACE "extlibs/headers/" "" header ${header})
  if(NOT IS_DIRECTORY ${licenses}/${header})
    message(FATAL_ERROR "SFML compiles in extlibs/headers/${header}, and no licence of it is kept")
  endif()
endforeach()
message(STATUS "SFML compiles in: ${used}")

# GoogleTest, for the tests only, linked in.
unpack_package(googletest ${work}/gtest)
run(cmake -S gtest -B gtest-build ${cross} -DBUILD_GMOCK=OFF)
run(cmake --build gtest-build -j 2)
run(cmake --install gtest-build)
