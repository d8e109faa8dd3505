#!/usr/bin/env bash
# Sets up, builds and runs Tundrel, or its test suite.
#
#   ./tundrel.sh run     install what is missing, build, start the game
#   ./tundrel.sh test    install what is missing, build, run every test
#   ./tundrel.sh packages    list the Debian packages the build and tests need
#
# Extra arguments after "test" go to ctest. BUILD_DIR picks the build folder.
# A test run ends with one line naming the SFML it was built against and the
# counts, in the form "SFML 2.5.1: <n> passed, 0 failed".
set -euo pipefail

root=$(cd "$(dirname "$0")" && pwd)
build=${BUILD_DIR:-$root/build}
packages=(g++ cmake make pkg-config libsfml-dev libgtest-dev libfontconfig-dev
          xvfb xauth xdotool fonts-dejavu-core)

usage() {
    echo "usage: $0 run | test [ctest arguments] | packages" >&2
    exit 2
}

setup() {
    if ! command -v apt-get >/dev/null 2>&1 || ! command -v dpkg-query >/dev/null 2>&1; then
        echo "This system has no apt. Install these (or your system's equivalents) and run again:" >&2
        echo "  ${packages[*]}" >&2
        echo "(SFML 2.5 or newer, or SFML 3; GoogleTest; fontconfig; CMake 3.22 or newer; Xvfb for the tests)" >&2
        exit 1
    fi
    local missing=()
    for p in "${packages[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$p")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null 2>&1; then
            echo "Missing packages: ${missing[*]}; run as root or install sudo." >&2
            exit 1
        fi
        sudo=(sudo)
    fi
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        -o DPkg::Lock::Timeout=600 "${missing[@]}"
}

sfml_version=unknown

configure_and_build() {
    local tests=$1
    local jobs log
    jobs=$(nproc 2>/dev/null || echo 2)
    if ! log=$(cmake -S "$root" -B "$build" -DTUNDREL_BUILD_TESTS="$tests"); then
        echo "$log"
        exit 1
    fi
    sfml_version=$(sed -n 's/^-- Building against SFML \(.*\)$/\1/p' <<<"$log" | tail -n 1)
    cmake --build "$build" -j "$jobs"
}

# The run's one-line verdict, from ctest's closing summary.
summarise() {
    local total failed
    read -r failed total < <(sed -n 's/^[0-9]*% tests passed, \([0-9]*\) tests\{0,1\} failed out of \([0-9]*\).*/\1 \2/p' "$1" | tail -n 1)
    if [ -z "${total:-}" ]; then
        echo "SFML $sfml_version: no test summary (the suite did not finish)"
        return 1
    fi
    local skipped
    skipped=$(grep -c '\*\*\*Skipped' "$1" || true)
    echo "SFML $sfml_version: $((total - failed - skipped)) passed, $failed failed$(
        [ "$skipped" -eq 0 ] || echo ", $skipped skipped")"
}

# Runs a command on the real display, or on a virtual one when there is none.
with_display() {
    if [ -n "${DISPLAY:-}" ]; then
        "$@"
    else
        xvfb-run -a -s "-screen 0 1920x1080x24" "$@"
    fi
}

[ $# -ge 1 ] || usage
verb=$1
shift
case "$verb" in
    run)
        setup
        configure_and_build OFF
        if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
            echo "No display found; the game needs a desktop session to open its window." >&2
            exit 1
        fi
        exec "$build/tundrel"
        ;;
    test)
        setup
        configure_and_build ON
        cd "$build"
        status=0
        with_display ctest --output-on-failure --no-tests=error "$@" 2>&1 | tee ctest.log || status=$?
        summarise ctest.log || status=1
        exit "$status"
        ;;
    packages)
        printf '%s\n' "${packages[@]}"
        ;;
    *)
        usage
        ;;
esac
