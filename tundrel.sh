#!/usr/bin/env bash
# Sets up, builds and runs Tundrel, or its test suite:
#   ./tundrel.sh run     install what is missing, build, start the game
#   ./tundrel.sh test    install what is missing, build, run every test; ends
#                        with a line such as "SFML 2.5.1: <n> passed, 0 failed"
# What is missing of debian/control's Build-Depends is installed with
# apt-get build-dep (through sudo for a user).
set -euo pipefail
cd "$(dirname "$0")"
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}
# $1: the build profile that leaves the test dependencies out, or nothing.
setup() {
    dpkg-checkbuilddeps ${1:+-P "$1"} 2>/dev/null && return
    command -v apt-get >/dev/null || { echo "No apt here. Install what debian/control's Build-Depends name:" >&2
        sed -n '/^Build-Depends:/,/^[A-Z][a-z-]*: /p' debian/control >&2; exit 1; }
    local sudo=; [ "$(id -u)" -eq 0 ] || sudo=sudo
    echo "Installing the build dependencies: apt-get build-dep ./"
    $sudo apt-get update -qq
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get build-dep -y -qq ${1:+-o APT::Build-Profiles="$1"} ./
}
case "${1:-}" in
    run) setup nocheck
         cmake --preset game >/dev/null && cmake --build --preset game
         [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] || { echo "No display: the game needs a desktop session." >&2; exit 1; }
         exec build/tundrel ;;
    test) setup "" && status=0
          cmake --workflow --preset default 2>&1 | tee build-test.log || status=$?
          tools/test-summary.sh build-test.log || status=1
          exit "$status" ;;
    *) echo "usage: $0 run | test" >&2; exit 2 ;;
esac
