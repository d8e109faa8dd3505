#!/usr/bin/env bash
# Starts the real game on the screen DISPLAY names, waits for its window,
# lets it run two seconds, checks that the window sits centred on the screen,
# quits it from the title page with Escape, and checks that it ended with
# exit code 0 and left no file behind.
#
# Usage: tools/smoke-run.sh [--without-fonts] BINARY
#   --without-fonts hides the system's fonts
#   in a mount namespace of its own (root only, and not inside a chroot;
#   exits 77, "skipped", else)
#   and checks that the game says so on standard error and plays on.
# Needs xdotool (and xvfb-run without DISPLAY).
set -euo pipefail

run() {
    cd "$scratch/cwd"
    # A Windows build runs under Wine. Its fonts are the Wine prefix's; a
    # private socket folder makes Wine start a server that sees them hidden.
    local start=("$binary") hide="/usr/share/fonts /usr/local/share/fonts" slack=1
    case $binary in
        *.exe) start=(/usr/lib/wine/wine64 "$binary")
               # Wine draws the frame itself, and the game places the
               # frame's corner, so the frame's own size is off centre.
               slack=40
               hide="${WINEPREFIX:-$HOME/.wine}/drive_c/windows/Fonts /tmp/.wine-$(id -u)"
               # Wine's desktop lives on the display its session began on:
               # begin one on this screen, and end it again afterwards.
               wineserver -k 2>/dev/null || true
               wine=1 ;;
    esac
    if [ "$without_fonts" = 1 ]; then
        unshare --mount --propagation private sh -c \
            'for d in $0; do [ -d "$d" ] && mount -t tmpfs none "$d"; done
             exec "$@"' "$hide" "${start[@]}" 2>"$scratch/stderr" &
    else
        "${start[@]}" 2>"$scratch/stderr" &
    fi
    local pid=$! window=""
    # One connection that waits for the window: polling with a new connection
    # each time can crowd the X server while the game itself connects.
    timeout 20 xdotool search --sync --name '^TUNDREL \| ' >"$scratch/window" 2>/dev/null &
    local finder=$!
    while kill -0 "$finder" 2>/dev/null && kill -0 "$pid" 2>/dev/null; do
        sleep 0.1
    done
    wait "$finder" 2>/dev/null || true
    window=$(head -n 1 "$scratch/window")
    if [ -z "$window" ]; then
        echo "no window appeared"; cat "$scratch/stderr"; kill "$pid" 2>/dev/null; return 1
    fi
    # A few seconds of frames first; the game must still be there after them.
    sleep 2
    kill -0 "$pid" 2>/dev/null || { local s=0; wait "$pid" || s=$?; echo "ended by itself, status $s"; cat "$scratch/stderr"; return 1; }
    # Wholly on the screen and centred on it, whatever the screen's size.
    local screen_w screen_h
    read -r screen_w screen_h <<<"$(xdotool getdisplaygeometry)"
    eval "$(xdotool getwindowgeometry --shell "$window")"
    if [ $((X < 0 || Y < 0 || X + WIDTH > screen_w || Y + HEIGHT > screen_h ||
            (2 * X + WIDTH - screen_w) ** 2 > slack ** 2 || (2 * Y + HEIGHT - screen_h) ** 2 > slack ** 2)) = 1 ]; then
        echo "window at $X,$Y, ${WIDTH}x$HEIGHT: not centred on the ${screen_w}x$screen_h screen"
        kill "$pid"; return 1
    fi
    # The key release may find the window gone already; only the game's exit counts.
    xdotool key --window "$window" Escape 2>/dev/null || true
    for _ in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        echo "still running 10 s after Escape"; kill -9 "$pid"; return 1
    fi
    local status=0
    wait "$pid" || status=$?
    [ "$status" -eq 0 ] || { echo "exit code $status"; cat "$scratch/stderr"; return 1; }
    [ -z "$(ls -A .)" ] || { echo "left files behind: $(ls -A .)"; return 1; }
    if [ "$without_fonts" = 1 ]; then
        [ "$(grep -c '^tundrel: no usable font, ' "$scratch/stderr")" = 1 ] ||
            { echo "no single line about the missing font:"; cat "$scratch/stderr"; return 1; }
    fi
}

without_fonts=0
if [ "${1:-}" = --without-fonts ]; then
    without_fonts=1
    shift
    if [ "$(id -u)" -ne 0 ] || ! command -v mount >/dev/null ||
       ! unshare --mount --propagation private true 2>/dev/null; then
        echo "skipped: hiding the fonts needs root, mount and a mount namespace of its own"
        exit 77
    fi
fi
# Without a screen (the Windows installer check) it makes one of its own.
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$@"
fi
binary=$(realpath "$1")
scratch=$(mktemp -d)
wine=0
what="smoke run on $DISPLAY"
[ "$without_fonts" = 0 ] || what="$what, without fonts"
finish() {
    local status=$?
    [ "$wine" = 0 ] || wineserver -k 2>/dev/null || true
    rm -rf "$scratch"
    if [ "$status" -eq 0 ]; then echo "$what: started and quit cleanly"; else echo "$what: FAILED" >&2; fi
}
trap finish EXIT
mkdir "$scratch/cwd"
run
