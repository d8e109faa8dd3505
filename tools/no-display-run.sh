#!/usr/bin/env bash
# The game where no display opens (DISPLAY unset, no server there, a server
# that refuses it) must exit with 1 after one line naming the display and the
# reason, leave no file, and try a refusing server for a second.
#   tools/no-display-run.sh BINARY   (needs Xvfb and xauth)
set -uo pipefail
binary=$(realpath "$1") scratch=$(mktemp -d) failed=0
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$scratch"' EXIT
mkdir "$scratch/cwd" && cd "$scratch/cwd"
expect() {  # PATTERN ENV-ARGUMENTS...: the one line wanted, and the game's environment
    local pattern=$1 status=0 && shift
    env "$@" timeout 20 "$binary" >/dev/null 2>"$scratch/err" || status=$?
    [ "$status" -eq 1 ] && [ "$(wc -l <"$scratch/err")" -eq 1 ] && grep -qE "^$pattern\$" "$scratch/err" && [ -z "$(ls -A)" ] ||
        { failed=1; echo -n "FAILED, exit status $status, left: $(ls -A), "; }
    echo "with $*: $(cat "$scratch/err")"
}
expect 'tundrel: cannot open a display: DISPLAY is not set' -u DISPLAY
expect 'tundrel: cannot open display ":65000": .+' DISPLAY=:65000
# A server that lets in only clients with its cookie.
xauth -q -f "$scratch/auth" add :0 . "$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')" 2>/dev/null
Xvfb -displayfd 3 -auth "$scratch/auth" -nolisten tcp 3>"$scratch/display" 2>/dev/null &
for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.1; done
display=":$(tr -d '\n' <"$scratch/display")" started=$(date +%s%N)
expect "tundrel: cannot open display \"$display\": .+" DISPLAY="$display" XAUTHORITY=/dev/null
[ $((($(date +%s%N) - started) / 1000000)) -ge 1000 ] || { echo "gave up within a second"; failed=1; }
exit "$failed"
