#!/usr/bin/env bash
# Sets up, builds and runs Tundrel, or its test suite.
#
#   ./tundrel.sh run     install what is missing, build, start the game
#   ./tundrel.sh test    install what is missing, build, run every test
#
# What the build and the tests need is debian/control's Build-Depends; a
# missing one is installed with apt-get build-dep (through sudo for a user).
# Extra arguments after "test" go to ctest. A test run ends with one line
# naming the SFML it was built against and the counts, in the form
# "SFML 2.5.1: <n> passed, 0 failed".
set -euo pipefail
cd "$(dirname "$0")"

# $1: the build profile that leaves the test dependencies out, or nothing.
setup() {
    local profile=(${1:+-P "$1"})
    if command -v dpkg-checkbuilddeps >/dev/null && dpkg-checkbuilddeps "${profile[@]}" 2>/dev/null; then
        return 0
    fi
    if ! command -v apt-get >/dev/null; then
        echo "This system has no apt. Install what debian/control's Build-Depends name:" >&2
        sed -n '/^Build-Depends:/,/^[A-Z]/p' debian/control | sed '$d' >&2
        exit 1
    fi
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || { echo "Run as root: apt-get build-dep ./" >&2; exit 1; }
        sudo=(sudo)
    fi
    echo "Installing the build dependencies: apt-get build-dep ./"
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get build-dep -y -qq \
        ${1:+-o APT::Build-Profiles="$1"} ./
}

# The run's one-line verdict, from the configure and ctest output in $1.
summarise() {
    local sfml total failed skipped
    sfml=$(sed -n 's/^-- Building against SFML //p' "$1" | tail -n 1)
    read -r failed total < <(sed -n 's/^[0-9]*% tests passed, \([0-9]*\) tests\{0,1\} failed out of \([0-9]*\).*/\1 \2/p' "$1" | tail -n 1)
    if [ -z "${total:-}" ]; then
        echo "SFML ${sfml:-unknown}: no test summary (the suite did not finish)"
        return 1
    fi
    skipped=$(grep -c '\*\*\*Skipped' "$1" || true)
    echo "SFML $sfml: $((total - failed - skipped)) passed, $failed failed$(
        [ "$skipped" -eq 0 ] || echo ", $skipped skipped")"
}

case "${1:-}" in
    run)
        setup nocheck
        cmake --preset game >/dev/null
        cmake --build --preset game
        if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
            echo "No display found; the game needs a desktop session to open its window." >&2
            exit 1
        fi
        exec build/tundrel ;;
    test)
        shift
        setup ""
        status=0
        { cmake --preset default && cmake --build --preset default &&
          ctest --preset default "$@"; } 2>&1 | tee build-test.log || status=$?
        summarise build-test.log || status=1
        exit "$status" ;;
    *)
        echo "usage: $0 run | test [ctest arguments]" >&2
        exit 2 ;;
esac
