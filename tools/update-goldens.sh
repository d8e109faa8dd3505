#!/usr/bin/env bash
# Renders every page of the game anew into the golden folder this build
# compares against (tests/golden, or tests/golden/sfml3 where SFML 3 is
# installed, as on Debian unstable), through the same tests that compare
# them, each on the virtual screen CTest gives it. Look at each picture
# before committing it: a golden picture proves only that nothing changed
# since.
#
# Usage: tools/update-goldens.sh
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default
TUNDREL_UPDATE_GOLDEN=1 ctest --preset default -R '^(Pages/Golden|Icon|SmallScreen)\.'
git status --short tests/golden
