#!/usr/bin/env bash
# The Windows part of CI: cross-builds the game and its tests and packs them
# (tools/build-windows.sh --tests), then, in the same Debian 13 root, runs the
# whole suite under Wine on Xvfb and plays the installer through as a player
# would: installs it silently, checks its files, its uninstall entry, its own
# version information and its Start-menu entry, starts and quits the
# installed game and the game from the Start-menu entry with the score
# folder missing, uninstalls it and checks that nothing is left, and that a
# score folder holding results is kept. Ends with a line such as
# "SFML 3.1.0 (Windows, Wine 10.0): 30 passed, 0 failed". Needs root on Debian.
#
#   tools/windows-check.sh [--update-goldens] [build-dir]   (default build-win64)
#
# --update-goldens renders the Windows golden pictures (tests/golden/windows)
# anew by the suite's scripted session instead; look at each before committing.
#
# Leaves dist/tundrel-<version>-win64.zip and dist/tundrel-<version>-win64-setup.exe.
set -euo pipefail

self=$(readlink -f "$0")
root=$(cd "$(dirname "$self")/.." && pwd)
fail() { echo "windows-check: $*" >&2; exit 1; }

if [ "${1:-}" != --inside ]; then
    update=no
    [ "${1:-}" = --update-goldens ] && { update=yes; shift; }
    build=$(realpath -m "${1:-$root/build-win64}")
    "$root/tools/build-windows.sh" --tests "$build"
    exec "$root/tools/build-windows.sh" --exec "$build" bash "$self" --inside "$update" "$build"
fi

# --- in the root ---------------------------------------------------------------
update=$2 build=$3
sfml=$(sed -n 's/^set(PACKAGE_VERSION "\(.*\)")/\1/p' "$TUNDREL_WIN64_PREFIX/lib/cmake/SFML/SFMLConfigVersion.cmake")
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
wine_version=$(wine --version | sed 's/^wine-\([0-9.]*\).*/\1/')
trap 'wineserver -k 2>/dev/null || true' EXIT
# Runs a command on a virtual screen in a Wine session begun there (Wine's
# desktop stays on the display its session began on), kept for the whole run
# instead of one per program.
on_screen() {
    wineserver -k 2>/dev/null || true
    xvfb-run -a -s "-screen 0 1920x1080x24" sh -c 'wineserver -p 60 && wine wineboot >/dev/null 2>&1 && exec "$@"' sh "$@"
}

if [ "$update" = yes ]; then
    mkdir -p "$ROOT/tests/golden/windows"
    (cd "$build" && TUNDREL_UPDATE_GOLDEN=1 on_screen \
        wine ./tundrel_tests.exe --gtest_filter='Pages/Golden.*:Icon.*' --gtest_brief=1)
    (cd "$build" && TUNDREL_UPDATE_GOLDEN=1 ctest -R '^SmallScreen\.' --output-on-failure)
    ls -l "$ROOT/tests/golden/windows"
    exit
fi

# Each program in a Wine session of its own: a game that went fullscreen
# leaves Wine's session in a state where the next one's event loop can spin.
export TUNDREL_WINE_OWN_SESSION=1
status=0
(cd "$build" && on_screen ctest --output-on-failure --no-tests=error 2>&1) | tee "$build/ctest.log" || status=$?
read -r failed total < <(sed -n 's/^[0-9]*% tests passed, \([0-9]*\) tests\{0,1\} failed out of \([0-9]*\).*/\1 \2/p' \
    "$build/ctest.log" | tail -n 1) || fail "the suite did not finish"
skipped=$(grep -c '\*\*\*Skipped' "$build/ctest.log" || true)

echo "--- installer: install, check, start, quit, uninstall"
setup="$ROOT/dist/tundrel-$version-win64-setup.exe"
users="$WINEPREFIX/drive_c/users/$(id -un)"
installed="$users/AppData/Local/Programs/Tundrel"
scores="$users/AppData/Roaming/Tundrel"
entry="$users/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Tundrel.lnk"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tundrel'
# A program and everything it starts, to the end, in a session of its own.
to_the_end() {
    wineserver -k 2>/dev/null || true
    xvfb-run -a -s "-screen 0 1024x768x24" sh -c '"$0" "$@"; wineserver -w' wine "$@"
}
# One field of a file's metadata as exiftool reads it (PE version resources,
# shell links).
field() { exiftool -s3 -"$2" "$1"; }

# setup.exe names itself, its version and its publisher.
[ "$(field "$setup" ProductName)" = Tundrel ] || fail "setup.exe names no product"
[ "$(field "$setup" ProductVersion)" = "$version" ] || fail "setup.exe carries no version $version"
[ "$(field "$setup" CompanyName)" = "The Tundrel developers" ] || fail "setup.exe names no publisher"

to_the_end "$setup" /S
for f in tundrel.exe uninstall.exe README.md LICENSE.txt sfml-graphics-3.dll sfml-audio-3.dll libstdc++-6.dll \
         licenses/SFML/license.txt licenses/FreeType/FTL.txt licenses/miniaudio/miniaudio-licence.txt; do
    [ -f "$installed/$f" ] || fail "installed without $f"
done
[ -z "$(find "$installed/licenses" -type f ! -name '*.txt')" ] || fail "licence files without .txt: $(find "$installed/licenses" -type f ! -name '*.txt')"
[ "$(field "$installed/tundrel.exe" CompanyName)" = "The Tundrel developers" ] || fail "tundrel.exe carries no version information"
wine reg query "$key" /v UninstallString >/dev/null || fail "no uninstall entry"
size=$(wine reg query "$key" /v EstimatedSize | tr -d '\r' | sed -n 's/.*REG_DWORD[[:space:]]*0x\([0-9a-f]*\).*/\1/p')
[ -n "$size" ] || fail "the uninstall entry gives no EstimatedSize"
# In KiB, and about what the folder holds.
on_disk=$(du -sk "$installed" | cut -f1)
[ $((16#$size * 10 > on_disk * 9 && 16#$size * 10 < on_disk * 11)) = 1 ] ||
    fail "EstimatedSize $((16#$size)) KiB, the folder holds $on_disk KiB"
[ -f "$entry" ] || fail "no Start-menu entry"
[ "$(field "$entry" Description)" = "Tundrel, an icy polar brick-breaking arcade game" ] ||
    fail "the Start-menu entry has no description"
field "$entry" CommandLineArguments | grep -q 'tundrel.exe' || fail "the Start-menu entry starts no tundrel.exe"

WINEPATH= "$ROOT/tools/smoke-run.sh" "$installed/tundrel.exe"
# From the Start-menu entry, with no score folder yet: the entry makes it.
rm -rf "$scores"
wineserver -k 2>/dev/null || true
xvfb-run -a -s "-screen 0 1920x1080x24" sh -c '
    wine start /unix "$0" &
    window=$(timeout 60 xdotool search --sync --name "^TUNDREL \| " | head -n 1)
    [ -n "$window" ] || exit 1
    sleep 2
    xdotool key --window "$window" Escape
    wineserver -w' "$entry" || fail "the game did not start from the Start-menu entry"
[ -d "$scores" ] || fail "the Start-menu entry made no score folder"

to_the_end "$installed/uninstall.exe" /S
[ ! -e "$installed" ] || fail "left behind: $(find "$installed")"
[ ! -e "$entry" ] || fail "the Start-menu entry is left"
[ ! -e "$scores" ] || fail "the score folder is left, empty"
! wine reg query "$key" >/dev/null 2>&1 || fail "the uninstall entry is left"
# Results are the player's: their folder stays.
to_the_end "$setup" /S
printf '1250 Frost\r\n' >"$scores/tundrel_score.txt"
to_the_end "$installed/uninstall.exe" /S
[ ! -e "$installed" ] || fail "left behind: $(find "$installed")"
[ -f "$scores/tundrel_score.txt" ] || fail "the uninstaller took the scores"
echo "--- installed, started, quit and uninstalled cleanly"

echo "SFML $sfml (Windows, Wine $wine_version): $((total - failed - skipped)) passed, $failed failed$(
    [ "$skipped" -eq 0 ] || echo ", $skipped skipped")"
[ "$status" -eq 0 ] && [ "$failed" -eq 0 ]
