#!/usr/bin/env bash
# Runs a Windows program built here under Wine (the cross-build's emulator).
# Its standard output's CR LF line ends become LF, for the tools that parse
# it, such as CTest's test discovery. Through a file, not a pipe: services
# Wine starts on the way inherit the output and would hold a pipe open.
#
# With TUNDREL_WINE_OWN_SESSION=1 the program gets a Wine session of its own:
# Wine's desktop stays on the display its session began on, and a test on a
# screen of its own must not land on the suite's.
out=$(mktemp)
own=${TUNDREL_WINE_OWN_SESSION:-0}
end_session() { [ "$own" = 1 ] && { wineserver -k 2>/dev/null; wineserver -w 2>/dev/null; }; }
trap 'rm -f "$out"; end_session' EXIT
end_session
# The MinGW runtime's DLLs, where the caller's WINEPATH names the libraries'.
WINEPATH="${WINEPATH:-}${TUNDREL_WINE_RUNTIME:+;$TUNDREL_WINE_RUNTIME}" wine "$@" >"$out"
status=$?
tr -d '\r' <"$out"
exit "$status"
