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

# tundrel_on_screen(NAME SCREEN COMMAND...): a case on a virtual screen
# (WIDTHxHEIGHTxDEPTH) of its own, which xvfb-run starts on a free display
# and stops after it. One at a time, so no two look for a free display at once.
find_program(TUNDREL_XVFB_RUN xvfb-run)
function(tundrel_on_screen name screen)
  if(TUNDREL_XVFB_RUN)
    add_test(NAME ${name} COMMAND ${TUNDREL_XVFB_RUN} -a -s "-screen 0 ${screen}" ${ARGN})
  else()
    add_test(NAME ${name} COMMAND ${ARGN})  # on the display the run was started on
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE SKIP_RETURN_CODE 77)
endfunction()
set(_tests ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:tundrel_tests>)
set(_smoke ${PROJECT_SOURCE_DIR}/tools/smoke-run.sh $<TARGET_FILE:tundrel>)

if(WIN32)
  # Under Wine the whole run sits on one virtual screen (tools/windows-check.sh).
  gtest_discover_tests(tundrel_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 TEST_FILTER -SmallScreen.*
                       PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
  if(NOT TUNDREL_XVFB_RUN)
    return()
  endif()
  foreach(screen 800x600 1366x768)
    tundrel_on_screen(SmallScreen.${screen} ${screen}x24 ${_tests} --gtest_filter=SmallScreen.*)
  endforeach()
  tundrel_on_screen(PlayWholeGame.On1366x768x16 1366x768x16 ${_tests} --gtest_filter=Play/PlayWholeGame.*/1)
  set_tests_properties(SmallScreen.800x600 SmallScreen.1366x768 PlayWholeGame.On1366x768x16
                       PROPERTIES ENVIRONMENT TUNDREL_WINE_OWN_SESSION=1)
else()
  # The cases that open a window, each on a screen of its own; every other
  # case runs with no display at all, so none of them can open a window.
  set(_desktop FrameLoop.DrawsWithoutAFontAndReadsTheRealPointer
      PlayInput.OwnWindowChangeNeverPausesARealFocusLossDoes)
  string(REPLACE ";" ":" _on_screen "Pages/Golden.*;SmallScreen.*;WorkArea.*;Play/PlayWholeGame.*/1;${_desktop}")
  gtest_discover_tests(tundrel_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 TEST_FILTER -${_on_screen}
                       PROPERTIES TIMEOUT 300 ENVIRONMENT_MODIFICATION DISPLAY=unset:)
  # Where no display opens, each of them says so and skips.
  add_test(NAME ScreenCases.SkipWithoutADisplay COMMAND tundrel_tests --gtest_filter=${_on_screen})
  set_tests_properties(ScreenCases.SkipWithoutADisplay PROPERTIES ENVIRONMENT_MODIFICATION DISPLAY=unset:)
  tundrel_on_screen(Pages/Golden.EveryPageAsPlayReachesIt/false 1920x1080x24 ${_tests} --gtest_filter=Pages/Golden.*/0)
  tundrel_on_screen(Pages/Golden.EveryPageAsPlayReachesIt/true 1920x1080x24 ${_tests} --gtest_filter=Pages/Golden.*/1)
  foreach(case ${_desktop})
    tundrel_on_screen(${case} 1920x1080x24 ${_tests} --gtest_filter=${case})
  endforeach()
  tundrel_on_screen(SmallScreen.1366x768 1366x768x24 ${_tests} --gtest_filter=SmallScreen.*)
  tundrel_on_screen(SmallScreen.800x600 800x600x24 ${_tests} --gtest_filter=SmallScreen.*)
  tundrel_on_screen(PlayWholeGame.On1366x768x16 1366x768x16 ${_tests} --gtest_filter=Play/PlayWholeGame.*/1)
  # The window against the work area: native on 1920 x 1080 and 1280 x 1024,
  # scaled on 1366 x 768, each also under a stand-in window manager, whose
  # marks on the root window must outlive the test's own connections.
  foreach(screen 1366x768 1920x1080 1280x1024)
    tundrel_on_screen(WorkArea.${screen} "${screen}x24 -noreset" ${_tests} --gtest_filter=WorkArea.*)
  endforeach()
  # Where no X display opens, the program says why in one line and exits with 1.
  add_test(NAME NoDisplay COMMAND ${PROJECT_SOURCE_DIR}/tools/no-display-run.sh $<TARGET_FILE:tundrel>)
  set_tests_properties(NoDisplay PROPERTIES TIMEOUT 120)
endif()

# The real program, started and quit on each screen; as root also with the
# system's fonts hidden (skipped otherwise).
foreach(screen 1920x1080x24 1366x768x16 800x600x24)
  tundrel_on_screen(SmokeRun.${screen} ${screen} ${_smoke})
endforeach()
tundrel_on_screen(SmokeRun.WithoutFontsAsRoot 1920x1080x24
                  ${PROJECT_SOURCE_DIR}/tools/smoke-run.sh --without-fonts $<TARGET_FILE:tundrel>)
