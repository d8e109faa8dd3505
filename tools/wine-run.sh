#!/usr/bin/env bash
# Runs a Windows program built here under Wine (the cross-build's emulator).
# Its standard output's CR LF line ends become LF, for the tools that parse
# it, such as CTest's test discovery.
set -o pipefail
/usr/lib/wine/wine64 "$@" | tr -d '\r'
