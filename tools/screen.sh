#!/bin/sh
# A virtual X screen for the tests, which CTest starts before the tests that
# open windows on it and stops after them (cmake/TundrelTests.cmake).
#
#   tools/screen.sh start :N WIDTHxHEIGHTxDEPTH STATEFILE
#   tools/screen.sh stop STATEFILE
set -eu
case $1 in
start)
    display=$2 screen=$3 state=$4
    # A server that a killed run left on this number goes first.
    [ -f "$state" ] && kill "$(cat "$state")" 2>/dev/null && sleep 1
    rm -f "$state" "$state.ready"
    # Xvfb writes the display number to the file once it takes connections.
    Xvfb "$display" -screen 0 "$screen" -nolisten tcp -noreset 3>"$state.ready" >"$state.log" 2>&1 \
        -displayfd 3 &
    echo $! >"$state"
    for _ in $(seq 100); do
        [ -s "$state.ready" ] && exit 0
        kill -0 "$(cat "$state")" 2>/dev/null || break
        sleep 0.1
    done
    echo "Xvfb $display did not start:" >&2
    cat "$state.log" >&2
    exit 1 ;;
stop)
    [ ! -f "$2" ] || kill "$(cat "$2")" 2>/dev/null || true
    rm -f "$2" "$2.ready" ;;
*)
    sed -n '5,6s/^# \{0,1\}//p' "$0" >&2
    exit 2 ;;
esac
