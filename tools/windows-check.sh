#!/usr/bin/env bash
# The Windows part of CI, in the root of tools/build-windows.sh: the suite under
# Wine, then the installer as a player meets it (over an earlier release and a file
# of the player's, three starts from the Start menu, uninstalled); then a line
# such as "SFML 3.1.0 (Windows, Wine 10.0): 30 passed, 0 failed".
#   tools/windows-check.sh [--update-goldens] [build-dir]   (default build-win64)
# --update-goldens renders tests/golden/windows anew instead; look at each.
set -euo pipefail
self=$(readlink -f "$0")
if [ "${1:-}" != --inside ]; then
    update=no; [ "${1:-}" != --update-goldens ] || { update=yes; shift; }
    build=$(realpath -m "${1:-$(dirname "$self")/../build-win64}")
    "$(dirname "$self")/build-windows.sh" --tests "$build"
    exec "$(dirname "$self")/build-windows.sh" --exec "$build" bash "$self" --inside "$update" "$build"
fi
fail() { echo "windows-check: $*" >&2; exit 1; }
cd "$3" && trap 'wineserver -k 2>/dev/null || true' EXIT
# A virtual screen with a Wine session begun there (Wine's desktop stays on the display
# its session began on): for the whole suite, or a program and all it starts, to their end.
on_screen() { wineserver -k 2>/dev/null || true; xvfb-run -a -s "-screen 0 1920x1080x24" sh -c "$@"; }
suite() { on_screen 'wineserver -p 60 && wine wineboot >/dev/null 2>&1 && exec "$0" "$@"' "$@"; }
to_the_end() { on_screen '"$0" "$@"; s=$?; wineserver -w; exit $s' "$@"; }
if [ "$2" = yes ]; then
    mkdir -p "$ROOT/tests/golden/windows"
    TUNDREL_UPDATE_GOLDEN=1 suite wine ./tundrel_tests.exe --gtest_filter='Pages/Golden.*:Icon.*'
    TUNDREL_UPDATE_GOLDEN=1 exec ctest -R '^SmallScreen\.' --output-on-failure
fi
# Each program in a Wine session of its own: a game that went fullscreen
# leaves Wine's session in a state where the next one's event loop can spin.
export TUNDREL_WINE_OWN_SESSION=1
status=0
suite ctest --output-on-failure --no-tests=error 2>&1 | tee ctest.log || status=$?
SFML_VERSION=$(sed -n 's/^set(PACKAGE_VERSION "\(.*\)")/\1/p' "$TUNDREL_WIN64_PREFIX/lib/cmake/SFML/SFMLConfigVersion.cmake") \
    "$ROOT/tools/test-summary.sh" ctest.log "Windows, Wine $(wine --version | sed 's/^wine-\([0-9.]*\).*/\1/')" >verdict ||
    fail "the suite did not finish"
echo "--- the installer: over an earlier release, three starts from the Start menu, uninstalled"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' CMakeCache.txt)
setup="$ROOT/dist/tundrel-$version-win64-setup.exe" users="$WINEPREFIX/drive_c/users/$(id -un)"
installed="$users/AppData/Local/Programs/Tundrel" scores="$users/AppData/Roaming/Tundrel"
entry="$users/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Tundrel.lnk"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tundrel'
field() { exiftool -s3 -"$2" "$1"; }  # PE version resources, shell links
earlier=(sfml-graphics-2.dll sfml-window-2.dll sfml-system-2.dll sfml-audio-2.dll OpenAL32.dll libFLAC.dll
         libogg.dll libvorbis.dll libvorbisenc.dll libvorbisfile.dll libfreetype.dll "licenses/OpenAL Soft/COPYING")
plant() { mkdir -p "$installed/licenses/OpenAL Soft"; for f in "${earlier[@]}" notes.txt; do echo "$f" >"$installed/$f"; done; }
[ "$(field "$setup" ProductName)/$(field "$setup" ProductVersion)/$(field "$setup" CompanyName)" = \
  "Tundrel/$version/The Tundrel developers" ] || fail "setup.exe names not its product, version and publisher"
plant
to_the_end wine "$setup" /S
for f in tundrel.exe uninstall.exe README.md LICENSE.txt sfml-graphics-3.dll sfml-audio-3.dll libstdc++-6.dll notes.txt \
         licenses/{SFML/license,FreeType/FTL,miniaudio/miniaudio-licence,dr_mp3/dr_mp3-licence,qoi/qoi-licence}.txt \
         licenses/{stb_image/stb_image,glad/glad,vulkan/vulkan,cpp-unicodelib/cpp-unicodelib}-licence.txt; do
    [ -s "$installed/$f" ] || fail "installed without $f"
done
for f in "${earlier[@]}" "licenses/OpenAL Soft"; do [ ! -e "$installed/$f" ] || fail "the install left $f"; done
[ -z "$(find "$installed/licenses" -type f ! -name '*.txt')" ] || fail "licence files without .txt"
[ "$(field "$installed/tundrel.exe" CompanyName)" = "The Tundrel developers" ] || fail "tundrel.exe has no version information"
wine reg query "$key" /v UninstallString >/dev/null || fail "no uninstall entry"
size=$((16#$(wine reg query "$key" /v EstimatedSize | tr -d '\r' | sed -n 's/.*REG_DWORD[[:space:]]*0x\([0-9a-f]*\).*/\1/p')))
on_disk=$(du -sk "$installed" | cut -f1)  # in KiB, about what the folder holds
[ $((size * 10 > on_disk * 9 && size * 10 < on_disk * 11)) = 1 ] || fail "EstimatedSize $size KiB, the folder $on_disk KiB"
[ "$(field "$entry" Description)" = "Tundrel, an icy polar brick-breaking arcade game" ] &&
    field "$entry" CommandLineArguments | grep -q 'tundrel\.exe' || fail "no Start-menu entry of tundrel.exe, or no description"
WINEPATH= "$ROOT/tools/smoke-run.sh" "$installed/tundrel.exe"
# Starts the game from the Start-menu entry, opens its high-score list with
# H, counts the pixels in the amber of the first row there, and quits.
amber_rows() {
    to_the_end sh -c 'wine start /unix "$0" &
        w=$(timeout 60 xdotool search --sync --name "^TUNDREL \| " | head -n 1) && [ -n "$w" ] || exit 1
        sleep 3; xdotool key --window "$w" h; sleep 1; eval "$(xdotool getwindowgeometry --shell "$w")"
        import -window "$w" -crop "400x100+$((WIDTH / 2 - 130))+200" -depth 8 txt:- >list.txt
        xdotool key --window "$w" Escape; sleep 1; xdotool key --window "$w" Escape' "$entry" ||
        fail "the game did not start from the Start-menu entry with the score folder $1"
    amber=$(grep -c -E '\((2[2-5][0-9]),(1[4-7][0-9]),([0-9]|[1-6][0-9])\)' list.txt || true)
}
rm -rf "$scores"
amber_rows missing
[ -d "$scores" ] && [ "$amber" -eq 0 ] || fail "no score folder made, or a row listed without scores ($amber)"
printf '1250 Frost\r\n' >"$scores/tundrel_score.txt"
for launch in holding again; do
    amber_rows "$launch"
    [ "$amber" -gt 50 ] || fail "started with the score folder $launch, the list shows no score ($amber)"
done
plant
to_the_end wine "$installed/uninstall.exe" /S
left=$(cd "$installed" && find . -mindepth 1)
[ "$left" = ./notes.txt ] || fail "the uninstall left more than the player's file: $left"
[ -f "$scores/tundrel_score.txt" ] && [ ! -e "$entry" ] || fail "the uninstall took the scores, or left the Start-menu entry"
! wine reg query "$key" >/dev/null 2>&1 || fail "the uninstall entry is left"
rm -rf "$installed" "$scores"  # without the player's files nothing at all is left
to_the_end wine "$setup" /S
to_the_end wine "$installed/uninstall.exe" /S
[ ! -e "$installed" ] && [ ! -e "$scores" ] || fail "left behind: $(find "$installed" "$scores" 2>/dev/null)"
echo "--- installed over an earlier release, started, quit and uninstalled cleanly"
cat verdict
[ "$status" -eq 0 ] && grep -q " 0 failed" verdict
