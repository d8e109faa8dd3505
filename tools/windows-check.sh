#!/usr/bin/env bash
# The Windows part of CI: cross-builds the game and its tests
# (tools/build-windows.sh), runs the whole suite under Wine on Xvfb, then
# installs the installer silently, checks its files and Start-menu entry,
# starts and quits the installed game, uninstalls it and checks that nothing
# is left. Ends with a line such as
# "SFML 2.6.2 (Windows, Wine 8.0): 30 passed, 0 failed". Needs root on Debian.
#
#   tools/windows-check.sh [--update-goldens] [build-dir]   (default build-win64)
#
# --update-goldens renders the Windows golden pictures (tests/golden/windows)
# anew by the suite's scripted session instead; look at each before committing.
#
# Leaves dist/tundrel-<version>-win64.zip and dist/tundrel-<version>-win64-setup.exe.
set -euo pipefail

update=no
[ "${1:-}" = --update-goldens ] && { update=yes; shift; }
root=$(cd "$(dirname "$(readlink -f "$0")")/.." && pwd)
build=$(realpath -m "${1:-$root/build-win64}")
wine=/usr/lib/wine/wine64
fail() { echo "windows-check: $*" >&2; exit 1; }

"$root/tools/build-windows.sh" --tests "$build"
prefix=$(sed -n 's/^TUNDREL_WIN64_PREFIX:PATH=//p' "$build/CMakeCache.txt")
sfml=$(sed -n 's/^-- Building against SFML //p' <(cmake "$build" 2>/dev/null) | tail -n 1)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
wine_version=$("$wine" --version | sed 's/^wine-\([0-9.]*\).*/\1/')

export WINEPREFIX=$build/wine WINEDEBUG=-all WINEPATH="Z:$prefix/bin"
# Wine's own fonts folder is empty; DejaVu Sans Mono stands in for Consolas.
cp /usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf "$WINEPREFIX/drive_c/windows/Fonts/consola.ttf"
trap 'wineserver -k 2>/dev/null || true' EXIT
# Runs a command on a virtual screen in a Wine session begun there (Wine's
# desktop stays on the display its session began on), kept for the whole run
# instead of one per program.
on_screen() {
    wineserver -k 2>/dev/null || true
    xvfb-run -a -s "-screen 0 1920x1080x24" sh -c \
        'wineserver -p 60 && /usr/lib/wine/wine64 wineboot >/dev/null 2>&1 && exec "$@"' sh "$@"
}

if [ "$update" = yes ]; then
    mkdir -p "$root/tests/golden/windows"
    (cd "$build" && TUNDREL_UPDATE_GOLDEN=1 on_screen \
        "$wine" ./tundrel_tests.exe --gtest_filter='Pages/Golden.*:Icon.*' --gtest_brief=1)
    (cd "$build" && TUNDREL_UPDATE_GOLDEN=1 ctest -R '^SmallScreen\.' --output-on-failure)
    ls -l "$root/tests/golden/windows"
    exit
fi

status=0
(cd "$build" && on_screen ctest --output-on-failure --no-tests=error 2>&1) |
    tee "$build/ctest.log" || status=$?
read -r failed total < <(sed -n 's/^[0-9]*% tests passed, \([0-9]*\) tests\{0,1\} failed out of \([0-9]*\).*/\1 \2/p' \
    "$build/ctest.log" | tail -n 1) || fail "the suite did not finish"
skipped=$(grep -c '\*\*\*Skipped' "$build/ctest.log" || true)

# The installer as a player runs it, silently, for this user.
echo "--- installer: install, start, quit, uninstall"
setup="$root/dist/tundrel-$version-win64-setup.exe"
users="$WINEPREFIX/drive_c/users/$(id -un)"
installed="$users/AppData/Local/Programs/Tundrel"
entry="$users/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Tundrel.lnk"
# A program and everything it starts, to the end, in a session of its own.
to_the_end() {
    wineserver -k 2>/dev/null || true
    xvfb-run -a -s "-screen 0 1024x768x24" sh -c '"$0" "$@"; wineserver -w' "$wine" "$@"
}
to_the_end "$setup" /S
for f in tundrel.exe uninstall.exe README.md LICENSE.txt sfml-graphics-2.dll OpenAL32.dll libstdc++-6.dll \
         licenses/SFML/license.md; do
    [ -f "$installed/$f" ] || fail "installed without $f"
done
[ -f "$entry" ] || fail "no Start-menu entry"
grep -aq 'tundrel.exe' <(strings -a -e l "$entry"; strings -a "$entry") || fail "the Start-menu entry names no tundrel.exe"
"$wine" reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tundrel' /v UninstallString >/dev/null ||
    fail "no uninstall entry"
WINEPATH= "$root/tools/smoke-run.sh" "$installed/tundrel.exe"
to_the_end "$installed/uninstall.exe" /S
[ ! -e "$installed" ] || fail "left behind: $(find "$installed")"
[ ! -e "$entry" ] || fail "the Start-menu entry is left"
[ ! -e "$users/AppData/Roaming/Tundrel" ] || fail "the score folder is left, empty"
! "$wine" reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tundrel' >/dev/null 2>&1 ||
    fail "the uninstall entry is left"
echo "--- installed, started, quit and uninstalled cleanly"

echo "SFML $sfml (Windows, Wine $wine_version): $((total - failed - skipped)) passed, $failed failed$(
    [ "$skipped" -eq 0 ] || echo ", $skipped skipped")"
[ "$status" -eq 0 ] && [ "$failed" -eq 0 ]
