#!/usr/bin/env bash
# The cross-build's emulator: a Windows program built here, under Wine; CR LF
# become LF for CTest's discovery, through a file (services Wine starts would
# hold a pipe open). TUNDREL_WINE_OWN_SESSION=1 gives it a session of its own.
out=$(mktemp)
end_session() { [ "${TUNDREL_WINE_OWN_SESSION:-0}" != 1 ] || { wineserver -k; wineserver -w; } 2>/dev/null; }
trap 'rm -f "$out"; end_session' EXIT
end_session
wine "$@" >"$out"
status=$?
tr -d '\r' <"$out"
exit "$status"
