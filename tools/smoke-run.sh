#!/usr/bin/env bash
# Starts the real game on DISPLAY (a virtual screen of its own without),
# wants its window centred, quits it with Escape, wants status 0 and no file.
#   tools/smoke-run.sh [--without-fonts] BINARY   (a Windows .exe under Wine)
# --without-fonts hides the system's fonts in a mount namespace (root only;
# exits 77, "skipped", else) and wants one line about it from the game.
set -euo pipefail
. "$(dirname "$0")/lib/game-window.sh"
without_fonts=0
if [ "${1:-}" = --without-fonts ]; then
    without_fonts=1 && shift
    [ "$(id -u)" -eq 0 ] && command -v mount >/dev/null && unshare --mount --propagation private true 2>/dev/null ||
        { echo "skipped: hiding the fonts needs root, mount and a mount namespace of its own"; exit 77; }
fi
[ -n "${DISPLAY:-}" ] || exec xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$@"
start=("$(realpath "$1")") hide="/usr/share/fonts /usr/local/share/fonts" slack=1
scratch=$(mktemp -d) what="smoke run on $DISPLAY$([ "$without_fonts" = 0 ] || echo ", without fonts")" log=$scratch/stderr
trap 'rm -rf "$scratch"' EXIT
if [[ ${start[0]} == *.exe ]]; then
    # Wine draws the frame itself. Its fonts are the prefix's; a private
    # socket folder makes Wine start a server that sees them hidden. Its
    # desktop lives on the display its session began on: begin one here.
    slack=40
    hide="${WINEPREFIX:-$HOME/.wine}/drive_c/windows/Fonts /tmp/.wine-$(id -u)"
    start=(/usr/lib/wine/wine64 "${start[@]}")
    wineserver -k 2>/dev/null || true
    trap 'wineserver -k 2>/dev/null || true; rm -rf "$scratch"' EXIT
fi
[ "$without_fonts" = 0 ] || start=(unshare --mount --propagation private sh -c \
    'for d in $0; do [ -d "$d" ] && mount -t tmpfs none "$d"; done; exec "$@"' "$hide" "${start[@]}")
mkdir "$scratch/cwd" && cd "$scratch/cwd"
start_game "${start[@]}"
# Wholly on the screen and centred on it, whatever the screen's size.
read -r sw sh <<<"$(xdotool getdisplaygeometry)"
eval "$(xdotool getwindowgeometry --shell "$window")"
((X >= 0 && Y >= 0 && X + WIDTH <= sw && Y + HEIGHT <= sh &&
  (2 * X + WIDTH - sw) ** 2 <= slack ** 2 && (2 * Y + HEIGHT - sh) ** 2 <= slack ** 2)) ||
    fail "window at $X,$Y, ${WIDTH}x$HEIGHT: not centred on the ${sw}x$sh screen"
quit_game
[ -z "$(ls -A)" ] || fail "left files behind: $(ls -A)"
[ "$without_fonts" = 0 ] || [ "$(grep -c '^tundrel: no usable font, ' "$log")" = 1 ] ||
    fail "no single line about the missing font"
echo "$what: started and quit cleanly"
