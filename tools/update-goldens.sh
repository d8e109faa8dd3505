#!/usr/bin/env bash
# Renders every page of the game anew into tests/golden/ through the same
# tests that compare them: the pages and icons on a virtual 1920 x 1080
# screen, then the small-screen pictures on the screens CMakeLists.txt names
# for them. Look at each picture before committing it: a golden picture
# proves only that nothing changed since.
#
# Usage: tools/update-goldens.sh
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -DTUNDREL_BUILD_TESTS=ON >/dev/null
cmake --build "$build" --target tundrel_tests -j "$(nproc)"
mkdir -p "$root/tests/golden"
export TUNDREL_UPDATE_GOLDEN=1
xvfb-run -a -s "-screen 0 1920x1080x24" \
  "$build/tundrel_tests" --gtest_filter='Pages/Golden.*:Icon.*' --gtest_brief=1 2>/dev/null
(cd "$build" && ctest -R '^SmallScreen\.' --output-on-failure >/dev/null)
ls -l "$root/tests/golden"
