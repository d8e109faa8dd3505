# The test suite: one GoogleTest executable, each case a CTest entry, and the
# real program started by scripts in tools/.
enable_testing()
find_package(GTest REQUIRED)
file(GLOB TUNDREL_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/*.cpp)
if(WIN32)
  list(FILTER TUNDREL_TEST_SOURCES EXCLUDE REGEX "_posix\\.cpp$")
else()
  list(FILTER TUNDREL_TEST_SOURCES EXCLUDE REGEX "_windows\\.cpp$")
endif()
add_executable(tundrel_tests ${TUNDREL_TEST_SOURCES})
# SFML 3 rasterises glyphs differently, so its pictures are its own.
set(TUNDREL_GOLDEN_DIR ${PROJECT_SOURCE_DIR}/tests/golden)
if(WIN32)
  string(APPEND TUNDREL_GOLDEN_DIR /windows)  # its C library draws other random numbers
elseif(SFML_VERSION VERSION_GREATER_EQUAL 3)
  string(APPEND TUNDREL_GOLDEN_DIR /sfml3)
endif()
if(CMAKE_CROSSCOMPILING AND WIN32)
  string(PREPEND TUNDREL_GOLDEN_DIR Z:)  # Wine's drive for the build machine's files
endif()
target_compile_options(tundrel_tests PRIVATE ${TUNDREL_WARNINGS})
target_link_libraries(tundrel_tests PRIVATE tundrel_core GTest::gtest GTest::gtest_main)
if(NOT WIN32)
  target_link_libraries(tundrel_tests PRIVATE X11::X11)  # a stand-in window manager's marks
endif()
target_compile_definitions(tundrel_tests PRIVATE TUNDREL_GOLDEN_DIR="${TUNDREL_GOLDEN_DIR}")
add_dependencies(tundrel_tests tundrel)
include(GoogleTest)

if(WIN32)
  # Under Wine the whole run sits on one virtual screen (tools/windows-check.sh).
  gtest_discover_tests(tundrel_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 TEST_FILTER -SmallScreen.*
                       PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
  find_program(TUNDREL_XVFB_RUN xvfb-run)
  if(TUNDREL_XVFB_RUN)
    foreach(screen 800x600 1366x768)
      add_test(NAME SmallScreen.${screen}
               COMMAND ${TUNDREL_XVFB_RUN} -a -s "-screen 0 ${screen}x24"
                       ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:tundrel_tests> --gtest_filter=SmallScreen.*)
      set_tests_properties(SmallScreen.${screen} PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE
                           ENVIRONMENT TUNDREL_WINE_OWN_SESSION=1)
    endforeach()
    add_test(NAME PlayWholeGame.On1366x768x16
             COMMAND ${TUNDREL_XVFB_RUN} -a -s "-screen 0 1366x768x16"
                     ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:tundrel_tests> --gtest_filter=PlayWholeGame.*)
    set_tests_properties(PlayWholeGame.On1366x768x16 PROPERTIES TIMEOUT 120 RUN_SERIAL TRUE
                         ENVIRONMENT TUNDREL_WINE_OWN_SESSION=1)
    # The real program on screens of their own; as root also without fonts.
    foreach(screen 1920x1080x24 1366x768x16 800x600x24)
      add_test(NAME SmokeRun.${screen}
               COMMAND ${TUNDREL_XVFB_RUN} -a -s "-screen 0 ${screen}"
                       ${PROJECT_SOURCE_DIR}/tools/smoke-run.sh $<TARGET_FILE:tundrel>)
    endforeach()
    add_test(NAME SmokeRun.WithoutFontsAsRoot
             COMMAND ${TUNDREL_XVFB_RUN} -a ${PROJECT_SOURCE_DIR}/tools/smoke-run.sh --without-fonts $<TARGET_FILE:tundrel>)
    set_tests_properties(SmokeRun.1920x1080x24 SmokeRun.1366x768x16 SmokeRun.800x600x24 SmokeRun.WithoutFontsAsRoot
                         PROPERTIES TIMEOUT 120 RUN_SERIAL TRUE SKIP_RETURN_CODE 77)
  endif()
  return()
endif()

# Every window opens on a virtual screen that CTest starts for the tests that
# need it and stops after them, so the suite needs no desktop and leaves a
# real one alone. The display numbers come from the build folder's path,
# so two build folders on one machine keep apart.
string(MD5 _tundrel_hash "${PROJECT_BINARY_DIR}")
string(SUBSTRING "${_tundrel_hash}" 0 4 _tundrel_hash)
math(EXPR TUNDREL_TEST_DISPLAY "100 + (0x${_tundrel_hash} % 160) * 5")
set(TUNDREL_TEST_DISPLAY ${TUNDREL_TEST_DISPLAY} CACHE STRING "First of the five X display numbers the tests use")

# tundrel_screen(NAME GEOMETRY OFFSET): the fixture NAME, a screen on display
# TUNDREL_TEST_DISPLAY + OFFSET; sets TUNDREL_SCREEN_<NAME> to the display.
function(tundrel_screen name geometry offset)
  math(EXPR number "${TUNDREL_TEST_DISPLAY} + ${offset}")
  set(state ${PROJECT_BINARY_DIR}/screen-${name})
  add_test(NAME Screen.${name}.Start
           COMMAND ${PROJECT_SOURCE_DIR}/tools/screen.sh start :${number} ${geometry} ${state})
  add_test(NAME Screen.${name}.Stop COMMAND ${PROJECT_SOURCE_DIR}/tools/screen.sh stop ${state})
  set_tests_properties(Screen.${name}.Start PROPERTIES FIXTURES_SETUP ${name} TIMEOUT 30)
  set_tests_properties(Screen.${name}.Stop PROPERTIES FIXTURES_CLEANUP ${name})
  set(TUNDREL_SCREEN_${name} :${number} PARENT_SCOPE)
endfunction()
tundrel_screen(Desktop 1920x1080x24 0)
tundrel_screen(Laptop 1366x768x24 1)
tundrel_screen(Laptop16 1366x768x16 2)
tundrel_screen(Small 800x600x24 3)
# The run without fonts on a server no other test has used.
tundrel_screen(Spare 1920x1080x24 4)

# tundrel_on_screen(SCREEN TEST...): the tests run on that screen, one at a
# time (the shut-down test looks for the game's window by its title).
function(tundrel_on_screen screen)
  set_tests_properties(${ARGN} PROPERTIES FIXTURES_REQUIRED ${screen} RUN_SERIAL TRUE
                       ENVIRONMENT DISPLAY=${TUNDREL_SCREEN_${screen}})
endfunction()

# The list is read when ctest runs, so a build that cannot run still links.
gtest_discover_tests(tundrel_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 TEST_FILTER -SmallScreen.*:WorkArea.*
                     PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE FIXTURES_REQUIRED Desktop
                                ENVIRONMENT DISPLAY=${TUNDREL_SCREEN_Desktop})

# The small-screen pictures and a whole game on the 16-bit laptop screen.
add_test(NAME SmallScreen.1366x768 COMMAND tundrel_tests --gtest_filter=SmallScreen.*)
add_test(NAME PlayWholeGame.On1366x768x16 COMMAND tundrel_tests --gtest_filter=PlayWholeGame.*)
add_test(NAME SmallScreen.800x600 COMMAND tundrel_tests --gtest_filter=SmallScreen.*)
tundrel_on_screen(Laptop SmallScreen.1366x768)
tundrel_on_screen(Laptop16 PlayWholeGame.On1366x768x16)
tundrel_on_screen(Small SmallScreen.800x600)

# The window against the work area: native on 1680 x 1050 and 1280 x 1024,
# scaled on 1366 x 768, each also under a stand-in window manager.
add_test(NAME WorkArea.1366x768 COMMAND tundrel_tests --gtest_filter=WorkArea.*)
tundrel_on_screen(Laptop WorkArea.1366x768)
find_program(TUNDREL_XVFB_RUN xvfb-run REQUIRED)
foreach(screen 1680x1050 1280x1024)
  add_test(NAME WorkArea.${screen}
           COMMAND ${TUNDREL_XVFB_RUN} -a -s "-screen 0 ${screen}x24 -nolisten tcp -noreset"
                   $<TARGET_FILE:tundrel_tests> --gtest_filter=WorkArea.*)
  set_tests_properties(WorkArea.${screen} PROPERTIES TIMEOUT 120 RUN_SERIAL TRUE)
endforeach()

# Where no X display opens, the program says why in one line and exits with 1.
add_test(NAME NoDisplay COMMAND ${PROJECT_SOURCE_DIR}/tools/no-display-run.sh $<TARGET_FILE:tundrel>)

# The real program, started and quit on each screen; as root also with the
# system's fonts hidden (skipped otherwise).
set(_smoke ${PROJECT_SOURCE_DIR}/tools/smoke-run.sh)
add_test(NAME SmokeRun.1920x1080x24 COMMAND ${_smoke} $<TARGET_FILE:tundrel>)
add_test(NAME SmokeRun.1366x768x16 COMMAND ${_smoke} $<TARGET_FILE:tundrel>)
add_test(NAME SmokeRun.800x600x24 COMMAND ${_smoke} $<TARGET_FILE:tundrel>)
add_test(NAME SmokeRun.WithoutFontsAsRoot COMMAND ${_smoke} --without-fonts $<TARGET_FILE:tundrel>)
tundrel_on_screen(Desktop SmokeRun.1920x1080x24)
tundrel_on_screen(Spare SmokeRun.WithoutFontsAsRoot)
tundrel_on_screen(Laptop16 SmokeRun.1366x768x16)
tundrel_on_screen(Small SmokeRun.800x600x24)
set_tests_properties(NoDisplay SmokeRun.1920x1080x24 SmokeRun.1366x768x16 SmokeRun.800x600x24
                     SmokeRun.WithoutFontsAsRoot PROPERTIES TIMEOUT 120)
set_tests_properties(SmokeRun.WithoutFontsAsRoot PROPERTIES SKIP_RETURN_CODE 77)
