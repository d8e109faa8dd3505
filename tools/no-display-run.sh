#!/usr/bin/env bash
# Starts the game where no display opens: without DISPLAY, with a display no
# server listens on, and with an X server that refuses it. Each time it must
# exit with status 1 after one line naming the display and the reason, and
# leave no file; from the refusing server not before a second of retries.
#   tools/no-display-run.sh BINARY   (the refusing server needs Xvfb and xauth)
set -uo pipefail
binary=$(realpath "$1") scratch=$(mktemp -d) failed=0
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$scratch"' EXIT
mkdir "$scratch/cwd" && cd "$scratch/cwd"

# expect PATTERN ENV-ARGUMENTS...: the one line wanted, and how to start the game.
expect() {
    local pattern=$1 status=0
    shift
    env "$@" timeout 20 "$binary" >/dev/null 2>"$scratch/stderr" || status=$?
    if [ "$status" -eq 1 ] && [ "$(wc -l <"$scratch/stderr")" -eq 1 ] &&
        grep -qE "^$pattern\$" "$scratch/stderr" && [ -z "$(ls -A)" ]; then
        echo "with $*: $(cat "$scratch/stderr")"
    else
        echo "with $*: FAILED, exit status $status, left: $(ls -A), said: $(cat "$scratch/stderr")"
        failed=1
    fi
}

expect 'tundrel: cannot open a display: DISPLAY is not set' -u DISPLAY
expect 'tundrel: cannot open display ":65000": .+' DISPLAY=:65000
# A server that lets in only clients with its cookie.
xauth -q -f "$scratch/auth" add :0 . "$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')" 2>/dev/null
Xvfb -displayfd 3 -auth "$scratch/auth" -nolisten tcp 3>"$scratch/display" 2>/dev/null &
for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.1; done
display=":$(tr -d '\n' <"$scratch/display")" started=$(date +%s%N)
expect "tundrel: cannot open display \"$display\": .+" DISPLAY="$display" XAUTHORITY=/dev/null
# A server refuses for a moment while it resets: the game tries for a second.
[ $((($(date +%s%N) - started) / 1000000)) -ge 1000 ] || { echo "gave up within a second"; failed=1; }
exit "$failed"
