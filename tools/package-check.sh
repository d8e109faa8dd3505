#!/usr/bin/env bash
# Builds the Debian package and checks it as a desktop would meet it: lintian,
# desktop-file-validate and appstreamcli must report no error; the package is
# installed on this machine with dpkg, its menu entry and icons are looked at;
# the installed game is started through the menu entry's own Exec line on a
# private Xvfb (once with the default data folder, once with XDG_DATA_HOME
# set), its window must carry the icon and the game must run in the score
# folder the entry created; then the package is purged and nothing of it may
# be left.
#
# Usage: tools/package-check.sh [build-dir]    (default: build-deb; needs root)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
started=$(date +%s)
say() { echo "package-check: $*"; }
fail() { echo "package-check: FAILED: $*" >&2; exit 1; }
# Fails with what the game printed, leaving no game behind.
game_failed() {
    kill "$GAME_PID" 2>/dev/null || true
    grep -v -E '^(ALSA|AL) lib' "$LOG" >&2 || true
    fail "$@"
}

# --- one start of the installed game on the private X server ----------------
# Arguments: the Exec line, the window title, the folder the game must run in,
# then the environment (NAME=value ...) the menu would start it with.
run_installed() {
    local exec_line=$1 title=$2 want_cwd=$3
    shift 3
    # Drop field codes and undo the key file's escapes (\\ is one backslash).
    # What is left quotes its arguments as the shell's double quotes do (the
    # desktop entry format took its quoting from the shell), so the shell
    # splits it into the very arguments a desktop would pass.
    local cmd
    cmd=$(printf '%s' "$exec_line" | sed -e 's/%[fFuUdDnNickvm]//g' -e 's/%%/%/g' -e 's/\\\\/\\/g')
    local argv
    eval "argv=($cmd)"
    env -i DISPLAY="$DISPLAY" PATH=/usr/local/bin:/usr/bin:/bin "$@" \
        "${argv[@]}" >"$LOG" 2>&1 &
    local pid=$! id=""
    GAME_PID=$pid
    # One connection that waits for the window: polling with a new connection
    # each time can crowd the X server while the game itself connects.
    timeout 20 xdotool search --sync --name '^TUNDREL \| ' >"$scratch/window" 2>/dev/null &
    local finder=$!
    while kill -0 "$finder" 2>/dev/null; do
        if ! kill -0 "$pid" 2>/dev/null; then
            kill "$finder" 2>/dev/null
            game_failed "the game ended before its window appeared"
        fi
        sleep 0.1
    done
    id=$(head -n 1 "$scratch/window")
    [ -n "$id" ] && [ "$(xdotool getwindowname "$id")" = "$title" ] ||
        game_failed "no window titled \"$title\""
    sleep 2   # let it run a little
    local exe cwd
    exe=$(readlink "/proc/$pid/exe") && cwd=$(readlink "/proc/$pid/cwd") ||
        game_failed "the game ended while it should be running"
    [ "$exe" = "$GAME_PATH" ] || game_failed "the entry started $exe, not $GAME_PATH"
    [ "$cwd" = "$want_cwd" ] || game_failed "the game runs in $cwd, not $want_cwd"
    local icon
    icon=$(xprop -id "$id" _NET_WM_ICON)
    [[ $icon == "_NET_WM_ICON(CARDINAL) = "* ]] || game_failed "the window has no _NET_WM_ICON"
    # Close it as a player would: Escape on the title page quits the game.
    xdotool windowfocus --sync "$id" key Escape || game_failed "could not send Escape to the window"
    for _ in $(seq 40); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.25
    done
    if kill -0 "$pid" 2>/dev/null; then
        game_failed "the game did not quit on Escape"
    fi
    local status=0
    wait "$pid" || status=$?
    [ "$status" -eq 0 ] || game_failed "the game exited with status $status"
    say "started from the menu entry: window with icon, ran in $cwd, quit with status 0"
}

# --- tools -----------------------------------------------------------------
[ "$(id -u)" -eq 0 ] || fail "needs root (it installs and purges the package)"
tools=(dpkg-dev lintian desktop-file-utils appstream xvfb xauth x11-utils xdotool)
missing=()
for p in "${tools[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    say "installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null ||
        { apt-get update -qq && apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null; }
fi

# --- build and validate ----------------------------------------------------
build=${1:-$root/build-deb}
deb=$("$root/tools/build-deb.sh" "$build" | tail -n 1)
[ -f "$deb" ] || fail "no package built"
say "built $deb"

scratch=$(mktemp -d)
installed=0
xvfb_pid=""
cleanup() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
    fi
    if [ "$installed" -eq 1 ]; then
        dpkg --purge tundrel >/dev/null 2>&1 || true
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT

say "lintian"
lintian_status=0
lintian_out=$(lintian --fail-on error --display-info --pedantic "$deb" 2>&1) || lintian_status=$?
grep -v 'root privileges' <<<"$lintian_out" || true
[ "$lintian_status" -eq 0 ] || fail "lintian reports errors"

dpkg-deb -x "$deb" "$scratch/unpacked"
desktop_files=("$scratch"/unpacked/usr/share/applications/*.desktop)
metainfo_files=("$scratch"/unpacked/usr/share/metainfo/*.metainfo.xml)
[ -f "${desktop_files[0]}" ] || fail "no desktop entry in the package"
[ -f "${metainfo_files[0]}" ] || fail "no AppStream metainfo in the package"
say "desktop-file-validate"
desktop-file-validate "${desktop_files[@]}" || fail "desktop-file-validate reports errors"
say "appstreamcli validate"
appstreamcli validate --no-net "${metainfo_files[@]}" || fail "appstreamcli reports errors"

# --- install ---------------------------------------------------------------
# dpkg waits for nobody: retry while another install holds the lock.
dpkg_install() {
    local out
    for _ in $(seq 60); do
        if out=$(dpkg -i "$deb" 2>&1); then return 0; fi
        grep -q 'lock' <<<"$out" || break
        sleep 5
    done
    echo "$out"
    say "fetching missing dependencies"
    DEBIAN_FRONTEND=noninteractive apt-get -f install -y -qq -o DPkg::Lock::Timeout=300 >/dev/null
}
installed=1
dpkg_install
[ "$(dpkg-query -W -f='${Status}' tundrel)" = 'install ok installed' ] || fail "the package did not install"
dpkg -L tundrel > "$scratch/files"
say "installed $(grep -c . "$scratch/files") paths"

# The menu data: one entry, its icon in every size, the AppStream id beside it.
desktop=$(grep '^/usr/share/applications/.*\.desktop$' "$scratch/files" | head -n 1)
app_id=$(basename "$desktop" .desktop)
[ "$(sed -n 's/^Icon=//p' "$desktop")" = "$app_id" ] || fail "the entry's icon is not $app_id"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "/usr/share/metainfo/$app_id.metainfo.xml" ||
    fail "the metainfo does not launch $app_id.desktop"
for size in 16 32 48 64 128 256; do
    png=/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png
    [ -f "$png" ] || fail "no $png"
    # PNG width and height are the big-endian words at bytes 16 to 23.
    read -r w0 w1 w2 w3 h0 h1 h2 h3 < <(od -An -tu1 -j16 -N8 "$png")
    [ $(( (w0 << 24) | (w1 << 16) | (w2 << 8) | w3 )) -eq "$size" ] &&
    [ $(( (h0 << 24) | (h1 << 16) | (h2 << 8) | h3 )) -eq "$size" ] || fail "$png is not $size x $size"
done
grep -q '^/usr/share/man/man6/tundrel\.6\.gz$' "$scratch/files" || fail "no manual page"
if command -v man >/dev/null; then
    man -w tundrel >/dev/null 2>&1 || fail "man tundrel finds no page"
fi
say "menu entry $app_id with its icon in six sizes, AppStream data and man page in place"

# --- start it as the menu does ---------------------------------------------
exec_line=$(sed -n 's/^Exec=//p' "$desktop" | head -n 1)
label=$(sed -n 's/^TUNDREL_SITE_LABEL:STRING=//p' "$build/CMakeCache.txt")
export GAME_PATH LOG=$scratch/game.log
GAME_PATH=$(grep '^/usr/games/tundrel$' "$scratch/files") || fail "no /usr/games/tundrel"
# A private X server on a display number it picks itself: xvfb-run -a can
# race other jobs on this machine for the same number and end up on theirs.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$scratch/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 40); do
    [ -s "$scratch/display" ] && break
    sleep 0.25
done
[ -s "$scratch/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -n 1 "$scratch/display")"
home=$scratch/home
mkdir -p "$home"
run_installed "$exec_line" "TUNDREL | $label" "$home/.local/share/tundrel" HOME="$home"
run_installed "$exec_line" "TUNDREL | $label" "$scratch/data/tundrel" HOME="$home" XDG_DATA_HOME="$scratch/data"
kill "$xvfb_pid"
xvfb_pid=""

# --- purge -----------------------------------------------------------------
dpkg --purge tundrel >/dev/null
installed=0
left=0
while IFS= read -r path; do
    [ "$path" = "/." ] && continue
    if [ -d "$path" ] && [ ! -L "$path" ]; then
        # Shared folders stay while another package owns them.
        dpkg-query -S "$path" >/dev/null 2>&1 && continue
        if [ -z "$(ls -A "$path")" ]; then
            echo "left behind: $path"
            left=1
        fi
    elif [ -e "$path" ] || [ -L "$path" ]; then
        echo "left behind: $path"
        left=1
    fi
done < "$scratch/files"
[ "$left" -eq 0 ] || fail "the purge left files behind"
say "purged; nothing of the package is left"
say "passed in $(( $(date +%s) - started )) s"
