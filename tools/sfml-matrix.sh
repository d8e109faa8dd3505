#!/usr/bin/env bash
# Builds and tests the game against the SFML of newer Debian suites, each in a
# minimal root file system made with mmdebstrap: trixie (Debian 13) brings
# SFML 2.6, sid (unstable) SFML 3. In each it runs the whole suite under Xvfb
# (./tundrel.sh test, which also starts and quits the real game). Each suite's
# run ends with a line such as "SFML 3.1.0: <n> passed, 0 failed". Needs root
# on Debian.
#
#   tools/sfml-matrix.sh [--prepare | --no-update | --update-goldens] SUITE...
#   tools/sfml-matrix.sh --package [--no-update] [--quick] [--nocheck] [--twice] [--source] SUITE...
#
#   --prepare          only build (or update) the root file systems
#   --no-update        use a cached root file system as it is
#   --update-goldens   render the golden pictures with the suite's SFML into
#                      the working tree (tests/golden/sfml3 for SFML 3)
#   --package          on a throwaway layer over the root: dpkg-buildpackage
#                      (its dh_auto_test is the suite run), then
#                      tools/package-check.sh; the packages land in dist/
#     --quick          first the README's steps: tools/build-deb.sh, which
#                      installs what it needs; its package must have the
#                      same file list and pass tools/package-check.sh too
#     --nocheck        build the package without running the suite
#     --twice          build it twice and want identical .deb files
#     --source         build the source package too
#
# The root file systems are kept in /var/cache/tundrel-sfml (SFML_MATRIX_CACHE)
# under <suite>-<hash of the package list>; a later run updates them with apt.
# Packages come from the Debian mirror this machine's apt sources name.
set -euo pipefail

self=$(readlink -f "$0")
root=$(cd "$(dirname "$self")/.." && pwd)
cache=${SFML_MATRIX_CACHE:-/var/cache/tundrel-sfml}
path=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin

die() { echo "sfml-matrix: $*" >&2; exit 1; }

. "$root/tools/lib/debian-mirror.sh"

# What goes into every root file system: the README's build and test packages.
mapfile -t packages < <("$root/tundrel.sh" packages)

# --- inside the private mount namespace ------------------------------------

# Mounts a fresh /proc, /dev (own device nodes), /dev/pts, /dev/shm and /tmp
# into the root file system; the EXIT trap takes them down again.
mounted=()
unmount_all() {
    local i
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}" || true
    done
    mounted=()
}
mount_at() {
    local target=${*: -1}
    mount "$@"
    mounted+=("$target")
}
mount_system() {
    local fs=$1 node name major minor
    mount_at -t proc -o nosuid,nodev,noexec proc "$fs/proc"
    mount_at -t tmpfs -o mode=755,size=1m,nosuid,noexec tmpfs "$fs/dev"
    for node in "null 1 3" "zero 1 5" "full 1 7" "random 1 8" "urandom 1 9" "tty 5 0"; do
        read -r name major minor <<<"$node"
        mknod -m 666 "$fs/dev/$name" c "$major" "$minor"
    done
    ln -s /proc/self/fd "$fs/dev/fd"
    ln -s /proc/self/fd/0 "$fs/dev/stdin"
    ln -s /proc/self/fd/1 "$fs/dev/stdout"
    ln -s /proc/self/fd/2 "$fs/dev/stderr"
    mkdir "$fs/dev/pts" "$fs/dev/shm"
    mount_at -t devpts -o newinstance,ptmxmode=0666,mode=0620 devpts "$fs/dev/pts"
    ln -s pts/ptmx "$fs/dev/ptmx"
    mount_at -t tmpfs -o mode=1777,nosuid,nodev tmpfs "$fs/dev/shm"
    mount_at -t tmpfs -o mode=1777,nosuid,nodev tmpfs "$fs/tmp"
}

in_root() {
    local fs=$1
    shift
    chroot "$fs" /usr/bin/env -i PATH="$path" HOME=/root LANG=C.UTF-8 TERM=dumb \
        ${SOURCE_DATE_EPOCH:+SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH} \
        DEBIAN_FRONTEND=noninteractive "$@"
}

inside_update() {
    local fs=$1
    # apt needs the host's name service to reach the mirror.
    [ -e "$fs/etc/resolv.conf" ] || [ -L "$fs/etc/resolv.conf" ] || touch "$fs/etc/resolv.conf"
    if [ -f "$fs/etc/resolv.conf" ] && [ ! -L "$fs/etc/resolv.conf" ]; then
        mount_at --bind /etc/resolv.conf "$fs/etc/resolv.conf"
    fi
    in_root "$fs" apt-get -q --error-on=any update
    in_root "$fs" apt-get -qq -y -o Dpkg::Options::=--force-confold dist-upgrade
    in_root "$fs" apt-get -qq -y --no-install-recommends install "${packages[@]}"
    in_root "$fs" apt-get clean
}

# Copies the working tree (tracked and new files, no build folders) to /tmp.
copy_sources() {
    local dest=$1
    mkdir -p "$dest"
    if git -C "$root" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        git -C "$root" ls-files -z --cached --others --exclude-standard |
            while IFS= read -r -d '' f; do [ -e "$root/$f" ] && printf '%s\0' "$f"; done |
            tar -C "$root" --null -T - -cf - | tar -C "$dest" -xf -
    else
        tar -C "$root" --exclude='./build*' --exclude=./.git -cf - . | tar -C "$dest" -xf -
    fi
}

# Renders the golden pictures with the suite's SFML and copies the folder the
# build compares against back into the working tree.
inside_goldens() {
    local fs=$1
    copy_sources "$fs/tmp/tundrel"
    in_root "$fs" sh -c 'cd /tmp/tundrel && BUILD_DIR=/tmp/build tools/update-goldens.sh' >/dev/null
    local dir
    dir=$(in_root "$fs" sh -c 'grep -o "TUNDREL_GOLDEN_DIR=[^ ]*" /tmp/build/CMakeFiles/tundrel_tests.dir/flags.make | head -n 1' |
          sed -e 's/.*TUNDREL_GOLDEN_DIR=\\*"*//' -e 's/\\*"*$//')
    [ -n "$dir" ] || die "no golden folder in the build"
    rm -rf "$root/${dir#/tmp/tundrel/}"
    cp -r "$fs$dir" "$root/${dir#/tmp/tundrel/}"
    echo "--- pictures written to ${dir#/tmp/tundrel/}; look at each before committing"
}

inside_test() {
    local fs=$1 suite=$2 status=0 line
    copy_sources "$fs/tmp/tundrel"
    if ! in_root "$fs" sh -c 'cd /tmp/tundrel && BUILD_DIR=/tmp/build ./tundrel.sh test' 2>&1 |
            tee "$fs/tmp/suite.log" | grep --line-buffered -v -E '^SFML [^ ]+: '; then
        status=1
    fi
    line=$(grep -E '^SFML [^ ]+: ' "$fs/tmp/suite.log" | tail -n 1 || true)
    if [ -z "$line" ]; then
        echo "SFML of $suite: the build failed"
        return 1
    fi
    echo "$line"
    return "$status"
}

# --- packages, on a layer over the root that is thrown away afterwards -------

# Mounts the root with the run's own writable layer on top (kept on disk
# between the two phases of one run) and the suite's downloaded packages.
mount_layer() {
    local fs=$1 run=$2
    mkdir -p "$run/upper" "$run/work" "$run/root" "$fs.debs/partial"
    mount_at -t overlay overlay -o "lowerdir=$fs,upperdir=$run/upper,workdir=$run/work" "$run/root"
    mount_at --bind "$fs.debs" "$run/root/var/cache/apt/archives"
}

# With the network: the README's quick build, which installs what it needs,
# then the build dependencies and the checking tools.
inside_package_deps() {
    local fs=$1 run=$2 profile=()
    mount_layer "$fs" "$run"
    fs=$run/root
    mount_system "$fs"
    if [ -f "$fs/etc/resolv.conf" ] && [ ! -L "$fs/etc/resolv.conf" ]; then
        mount_at --bind /etc/resolv.conf "$fs/etc/resolv.conf"
    fi
    # A fresh system has package lists; mmdebstrap leaves none behind.
    if ! ls "$fs"/var/lib/apt/lists/*_Packages* >/dev/null 2>&1; then
        in_root "$fs" apt-get -qq --error-on=any update
    fi
    copy_sources "$fs/src/tundrel"
    if [ "$QUICK" = yes ]; then
        copy_sources "$fs/src/quick"
        echo "--- the README's steps: tools/build-deb.sh"
        in_root "$fs" sh -c 'cd /src/quick && tools/build-deb.sh /src/quick-build' >"$run/quick.log" 2>&1 ||
            { cat "$run/quick.log"; return 1; }
        tail -n 1 "$run/quick.log"
    fi
    [ "$NOCHECK" = yes ] && profile=(-P nocheck)
    in_root "$fs" sh -c 'cd /src/tundrel && apt-get -qq -y --no-install-recommends "$@" build-dep ./ &&
        apt-get -qq -y --no-install-recommends install lintian desktop-file-utils appstream x11-utils' \
        sh "${profile[@]}" >"$run/deps.log" 2>&1 || { cat "$run/deps.log"; return 1; }
}

# Without the network: dpkg-buildpackage (and again, for --twice), the file
# lists compared, then the package check.
inside_package_build() {
    local fs=$1 run=$2 options=() status=0 line
    mount_layer "$fs" "$run"
    fs=$run/root
    mount_system "$fs"
    [ "$NOCHECK" = yes ] && options+=(--nocheck)
    [ "$SOURCE" = yes ] && options+=(--source)
    echo "--- dpkg-buildpackage ${options[*]}"
    in_root "$fs" env DEB_BUILD_OPTIONS=noautodbgsym sh -c 'cd /src/tundrel && tools/debian-build.sh "$@" /out' \
        sh "${options[@]}" 2>&1 | tee "$run/build.log" | grep --line-buffered -v -E '^SFML [^ ]+: ' || status=1
    line=$(grep -E '^SFML [^ ]+: ' "$run/build.log" | tail -n 1 || true)
    [ -z "$line" ] || echo "$line"
    [ "$status" -eq 0 ] || { echo "dpkg-buildpackage failed"; return 1; }
    local deb
    deb=$(cd "$fs/out" && ls tundrel_*.deb)
    if [ "$TWICE" = yes ]; then
        echo "--- dpkg-buildpackage again"
        in_root "$fs" env DEB_BUILD_OPTIONS=noautodbgsym sh -c 'cd /src/tundrel && tools/debian-build.sh "$@" /out2' \
            sh "${options[@]}" >"$run/build2.log" 2>&1 || { cat "$run/build2.log"; return 1; }
        cmp "$fs/out/$deb" "$fs/out2/$deb" || { echo "two builds of $deb differ"; return 1; }
        echo "two builds of $deb are identical"
    fi
    if [ "$QUICK" = yes ]; then
        local quick
        quick=$(tail -n 1 "$run/quick.log")
        [ "${quick##*/}" = "$deb" ] || { echo "the quick build made ${quick##*/}, dpkg-buildpackage $deb"; return 1; }
        if ! diff <(dpkg-deb -c "$fs$quick" | awk '$6 != "./" { print $1, $6 }') \
                  <(dpkg-deb -c "$fs/out/$deb" | awk '$6 != "./" { print $1, $6 }'); then
            echo "the quick build's file list differs from dpkg-buildpackage's"
            return 1
        fi
        echo "the quick build has the same file list"
        # The README installs this one.
        in_root "$fs" /src/tundrel/tools/package-check.sh "$quick"
    fi
    in_root "$fs" sh -c 'cd /src/tundrel && tools/package-check.sh /out/*.changes'
    mkdir -p "$DIST"
    cp "$fs"/out/* "$DIST/"
}

if [ "${1:-}" = __inside ]; then
    shift
    fs=$1 action=$2 suite=$3
    trap unmount_all EXIT
    mount_system "$fs"
    case "$action" in
        update) inside_update "$fs" ;;
        test) inside_test "$fs" "$suite" || exit 1 ;;
        goldens) inside_goldens "$fs" ;;
        package-deps) inside_package_deps "$fs" "$4" ;;
        package-build) inside_package_build "$fs" "$4" ;;
    esac
    exit 0
fi

# --- on the host ------------------------------------------------------------

in_namespace() {
    # A private mount namespace (nothing leaks to the host's mount table) and
    # a private PID namespace (Xvfb and the game cannot outlive the run). Runs
    # that start Xvfb get a network namespace too: X's abstract sockets are
    # per network namespace, and the host's tests must not meet this Xvfb.
    local net=()
    [ "$2" = update ] || [ "$2" = package-deps ] || net=(--net)
    unshare --mount --propagation private --pid --fork --kill-child "${net[@]}" -- "$self" __inside "$@"
}

suite_dir() {
    local hash
    hash=$(printf '%s\n' "$1" "${packages[@]}" | sort | sha256sum | cut -c1-12)
    echo "$cache/$1-$hash"
}

# Builds the suite's root file system, or updates the cached one.
prepare() {
    local suite=$1 fs=$2 update=$3 mirror old
    if [ -d "$fs" ]; then
        if [ "$update" = yes ]; then
            echo "--- updating $fs"
            in_namespace "$fs" update "$suite"
        fi
        return 0
    fi
    mirror=$(debian_mirror)
    [ -n "$mirror" ] || die "no Debian mirror in this machine's apt sources"
    for old in "$cache/$suite"-*; do
        if [ -d "$old" ]; then rm -rf "$old"; fi
    done
    echo "--- building $fs from $mirror"
    local IFS=,
    # The mirror may be a snapshot whose Release files have passed their
    # expiry date; they are still signed.
    mmdebstrap --variant=apt --quiet \
        --aptopt='Acquire::Check-Valid-Until "false"' \
        --include="${packages[*]}" "$suite" "$fs.new" "$mirror"
    mv "$fs.new" "$fs"
}

mode="test"
update=yes
export QUICK=no NOCHECK=no TWICE=no SOURCE=no DIST=${DIST:-$root/dist}
while [ $# -gt 0 ]; do
    case "$1" in
        --prepare) mode=prepare ;;
        --no-update) update=no ;;
        --update-goldens) mode=goldens; update=no ;;
        --package) mode=package ;;
        --quick) QUICK=yes ;;
        --nocheck) NOCHECK=yes ;;
        --twice) TWICE=yes ;;
        --source) SOURCE=yes ;;
        *) break ;;
    esac
    shift
done
[ $# -ge 1 ] || { sed -n '2,30s/^# \{0,1\}//p' "$self" >&2; exit 2; }
[ "$(id -u)" -eq 0 ] || die "must run as root (mmdebstrap, chroot and mounts)"

if ! command -v mmdebstrap >/dev/null 2>&1; then
    echo "--- installing mmdebstrap"
    # CI runs this beside ./tundrel.sh test, which may be installing too.
    install=(apt-get install -y -qq --no-install-recommends -o DPkg::Lock::Timeout=600 mmdebstrap)
    DEBIAN_FRONTEND=noninteractive "${install[@]}" ||
        { apt-get update -qq && DEBIAN_FRONTEND=noninteractive "${install[@]}"; }
fi
mkdir -p "$cache"

failed=0
for suite in "$@"; do
    [ "$suite" = unstable ] && suite=sid
    fs=$(suite_dir "$suite")
    set +e
    (
        set -e
        # One run at a time per suite on this machine.
        flock 9
        prepare "$suite" "$fs" "$update"
        if [ "$mode" = test ]; then
            echo "--- building and testing on $suite"
            in_namespace "$fs" test "$suite"
        elif [ "$mode" = goldens ]; then
            in_namespace "$fs" goldens "$suite"
        elif [ "$mode" = package ]; then
            echo "--- packages on $suite"
            export SOURCE_DATE_EPOCH
            SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}
            run=$cache/$suite.run
            rm -rf "$run"
            trap 'rm -rf "$run"' EXIT
            in_namespace "$fs" package-deps "$suite" "$run"
            in_namespace "$fs" package-build "$suite" "$run"
        fi
    ) 9>"$cache/$suite.lock"
    [ $? -eq 0 ] || failed=1
    set -e
done
exit "$failed"
