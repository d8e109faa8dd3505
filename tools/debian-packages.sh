#!/usr/bin/env bash
# Builds and checks the Debian packages with Debian's tools, the releases side
# by side: sbuild (unshare mode) builds each, versions a stable release's build
# 1.0-1~deb12u1 and runs lintian, autopkgtest and piuparts on it, all in one
# root per release made weekly by mmdebstrap; piuparts also upgrades 12 to 13.
#   tools/debian-packages.sh [--user USER] OUTDIR SUITE[:nocheck,twice,source]...
# As root. SUITE: bookworm, trixie, sid; twice: built again, diffoscope compares.
set -euo pipefail
root=$(cd "$(dirname "$(readlink -f "$0")")/.." && pwd)
. "$root/tools/lib/debian-mirror.sh"
cache=${TUNDREL_DEBIAN_CACHE:-/var/cache/tundrel-debian} user=tundrel-build
[ "${1:-}" = --user ] && { user=$2; shift 2; }
[ $# -ge 2 ] && [ "$(id -u)" -eq 0 ] || { sed -n 6p "$0" >&2; exit 2; }
tools=(sbuild mmdebstrap uidmap autopkgtest piuparts diffoscope-minimal dpkg-dev git xz-utils sudo)
dpkg -s "${tools[@]}" >/dev/null 2>&1 || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
    --no-install-recommends -o DPkg::Lock::Timeout=600 "${tools[@]}" >/dev/null
id "$user" >/dev/null 2>&1 || useradd --create-home "$user"
# sbuild runs as the build user and starts piuparts, which needs root, by sudo.
echo "$user ALL=(root) NOPASSWD: /usr/sbin/piuparts" >/etc/sudoers.d/tundrel-piuparts
mkdir -p "$1/logs" "$cache" && out=$(cd "$1" && pwd) && shift
mirror=$(debian_mirror) && [ -n "$mirror" ] || { echo "debian-packages: no mirror in the apt sources" >&2; exit 1; }
key=$(date +%G-%V)-$(printf %s "$mirror" | sha256sum | cut -c1-8)
declare -A number=([bookworm]=12 [trixie]=13 [sid]=unstable)
piuparts=(--warn-on-debsums-errors --ignore=/var/cache/debconf/tmp.ci/)  # newer debconf's scratch folder
# The source package: the upstream tarball is the committed tree (with changes
# to tracked files) without debian/, dated by the last commit.
work=$(mktemp -d) && chmod 755 "$work" && trap 'rm -rf "$work"' EXIT
tree=$(git -C "$root" stash create) && tree=${tree:-HEAD}
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}
version=$(dpkg-parsechangelog -l "$root/debian/changelog" -S Version) && src=tundrel-${version%-*}
maintainer=$(dpkg-parsechangelog -l "$root/debian/changelog" -S Maintainer)
git -C "$root" archive --prefix="$src/" "$tree" ':(exclude)debian' | xz -T1 >"$work/tundrel_${version%-*}.orig.tar.xz"
tar -C "$work" -xf "$work"/*.orig.tar.xz && git -C "$root" archive "$tree" debian | tar -C "$work/$src" -xf -
(cd "$work" && dpkg-source -b "$src" >/dev/null && rm -rf "$src")
# sbuild as the build user in a folder of its own, $1.
build() {
    mkdir "$1" && cp "$work"/tundrel_* "$1/" && chown -R "$user:" "$1"
    (cd "$1" && runuser -u "$user" -- env HOME="$(getent passwd "$user" | cut -d: -f6)" sbuild --chroot-mode=unshare \
        --arch-any --no-arch-all --purge-deps=never --nolog "${@:2}" ./*.dsc) >"$1.log" 2>&1
}
passed() { grep -q "^I: $1 run was successful" "$2" && echo "${1,,} ok" || echo "${1,,} FAILED"; }

# One release, $1, with its options $2: the suite's line and the verdict.
release() {
    local suite=$1 opts=",$2," tarball=$cache/$1-$key.tar.gz dir=$work/$1 o verdict
    # The lists stay for the next apt-get update; piuparts reads only gzip.
    [ -f "$tarball" ] || { rm -f "$cache/$suite"-*; mmdebstrap --quiet --mode=root --variant=buildd --dpkgopt=force-unsafe-io \
        --skip=cleanup/apt/lists --aptopt='Acquire::Check-Valid-Until "false"' "$suite" "$tarball.$$.tar.gz" "$mirror" &&
        mv "$tarball.$$.tar.gz" "$tarball"; } >"$out/logs/$suite-root.log" 2>&1 || { echo "Debian ${number[$suite]}: no root"; return 1; }
    o=(--dist="${suite/sid/unstable}" --chroot="$tarball")
    [ "$suite" = sid ] || o+=(--append-to-version="~deb${number[$suite]}u1" --binNMU-timestamp="$SOURCE_DATE_EPOCH" --maintainer="$maintainer")
    [[ $opts != *,nocheck,* ]] || o+=(--profiles=nocheck)
    [[ $opts != *,twice,* ]] || build "$dir-again" "${o[@]}" --profiles=nocheck --no-run-lintian --no-run-piuparts --no-run-autopkgtest &
    [[ $opts != *,source,* ]] || o+=(--source)
    # A stable release's lintian knows an older policy than the package follows.
    [ "$suite" = sid ] || o+=(--lintian-opt=--suppress-tags=newer-standards-version)
    build "$dir" "${o[@]}" --run-lintian --lintian-opts="--fail-on=error,warning --display-info --pedantic" \
        --run-autopkgtest --autopkgtest-root-args= --autopkgtest-opts="--apt-upgrade -- unshare --tarball $tarball" \
        --run-piuparts --piuparts-opts="-d $suite -m $mirror -b $tarball ${piuparts[*]}" || true
    cp "$dir.log" "$out/logs/$suite-sbuild.log"
    grep -q '^Status: successful' "$dir.log" || { tail -n 40 "$dir.log"; echo "Debian ${number[$suite]}: sbuild FAILED"; return 1; }
    [[ $opts == *,nocheck,* ]] || "$root/tools/test-summary.sh" "$dir.log" || true
    verdict="sbuild ok, $(passed Lintian "$dir.log")"
    [[ $opts != *,twice,* ]] || if wait $! && diffoscope --no-progress "$dir"/tundrel_*_amd64.deb "$dir-again"/tundrel_*_amd64.deb \
        >"$out/logs/$suite-diffoscope.txt" 2>&1; then verdict+=", reproducible"
    else head -n 40 "$out/logs/$suite-diffoscope.txt"; verdict+=", NOT reproducible"; fi
    verdict+=", $(passed Autopkgtest "$dir.log"), $(passed Piuparts "$dir.log")"
    cp "$dir"/tundrel_*_amd64.deb "$out/" && { [[ $opts != *,source,* ]] || cp "$dir"/*.dsc "$dir"/*.tar.* "$out/"; }
    echo "Debian ${number[$suite]}: $verdict"
    [[ $verdict != *FAILED* && $verdict != *NOT* ]] || { grep -E -B 30 '^E: [A-Za-z]+ run failed' "$dir.log"; return 1; }
}
# A Debian 12 system with the game, upgraded to Debian 13 along with it.
upgrade() {
    until [ -e "$work/bookworm.done" ] && [ -e "$work/trixie.done" ]; do sleep 5; done
    ls "$work"/{bookworm,trixie}/tundrel_*_amd64.deb >/dev/null 2>&1 || return 0  # a failed build said so
    mkdir "$work/repo" && cp "$work"/bookworm/tundrel_*_amd64.deb "$work/repo/"
    (cd "$work/repo" && dpkg-scanpackages . >Packages 2>/dev/null)
    piuparts -d bookworm -d trixie -m "$mirror" -b "$cache/bookworm-$key.tar.gz" --bindmount="$work/repo" \
        --extra-repo="deb [trusted=yes] file://$work/repo ./" "${piuparts[@]}" "$work"/trixie/tundrel_*_amd64.deb \
        >"$out/logs/upgrade-piuparts.log" 2>&1 && echo "Debian 12 to 13: piuparts upgrade ok" ||
        { tail -n 30 "$out/logs/upgrade-piuparts.log"; echo "Debian 12 to 13: piuparts upgrade FAILED"; return 1; }
}
names=() pids=()
for job in "$@"; do
    suite=${job%%:*} opts=${job#*:} && [ -n "${number[$suite]:-}" ] || { echo "unknown suite $suite" >&2; exit 2; }
    { s=0; release "$suite" "${opts#"$suite"}" || s=$?; touch "$work/$suite.done"; exit $s; } >"$work/$suite.out" 2>&1 &
    names+=("$suite") pids+=($!)
done
[[ " ${names[*]} " != *" bookworm "* || " ${names[*]} " != *" trixie "* ]] ||
    { upgrade >"$work/upgrade.out" 2>&1 & names+=(upgrade) pids+=($!); }
failed=0
for i in "${!names[@]}"; do
    wait "${pids[$i]}" || failed=1
    [ "${names[$i]}" = upgrade ] || echo "--- Debian ${number[${names[$i]}]} (${names[$i]})"
    cat "$work/${names[$i]}.out"
done
exit "$failed"
