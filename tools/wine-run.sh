#!/usr/bin/env bash
# Runs a Windows program built here under Wine (the cross-build's emulator).
# Its standard output's CR LF line ends become LF, for the tools that parse
# it, such as CTest's test discovery. Through a file, not a pipe: services
# Wine starts on the way inherit the output and would hold a pipe open.
out=$(mktemp)
trap 'rm -f "$out"' EXIT
/usr/lib/wine/wine64 "$@" >"$out"
status=$?
tr -d '\r' <"$out"
exit "$status"
