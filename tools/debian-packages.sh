#!/usr/bin/env bash
# Builds and checks the Debian packages the way Debian does, one release at
# a time: sbuild in its unshare mode (a clean root per build, a normal build
# user, no network, only the Build-Depends), lintian on the result,
# autopkgtest (debian/tests) in a fresh root of its own, piuparts (install,
# purge, nothing left). With both Debian 12 and 13 asked for, piuparts also
# upgrades the Debian 12 package along with the system to the Debian 13 one.
# Run as root; the builds and tests run as the normal user USER.
#
#   tools/debian-packages.sh [--user USER] OUTDIR SUITE[:OPTION]...
#
# SUITE is bookworm, trixie or sid. Options: nocheck (build without the test
# suite), twice (build once more without the suite and compare the packages
# with diffoscope), source (the source package too). The packages land in
# OUTDIR, the logs in OUTDIR/logs. For each build a line such as
# "SFML 3.1.0: 31 passed, 0 failed, 2 skipped" and one verdict line per
# suite are printed. The roots are tarballs made by mmdebstrap from the
# mirror in this machine's apt sources, kept in /var/cache/tundrel-debian
# (TUNDREL_DEBIAN_CACHE) for a week; sbuild updates them for each build.
set -euo pipefail

root=$(cd "$(dirname "$(readlink -f "$0")")/.." && pwd)
. "$root/tools/lib/debian-mirror.sh"
cache=${TUNDREL_DEBIAN_CACHE:-/var/cache/tundrel-debian}
user=tundrel-build
die() { echo "debian-packages: $*" >&2; exit 1; }

[ "${1:-}" = --user ] && { user=$2; shift 2; }
[ $# -ge 2 ] || { sed -n '10,10s/^# \{0,1\}//p' "$0" >&2; exit 2; }
[ "$(id -u)" -eq 0 ] || die "run as root (piuparts needs it; the builds run as $user)"
tools=(sbuild mmdebstrap uidmap zstd autopkgtest piuparts diffoscope-minimal dpkg-dev git xz-utils)
missing=()
for p in "${tools[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    -o DPkg::Lock::Timeout=600 "${missing[@]}" >/dev/null
id "$user" >/dev/null 2>&1 || useradd --create-home --shell /bin/bash "$user"
grep -q "^$user:" /etc/subuid || die "$user has no subordinate ids in /etc/subuid for sbuild's unshare mode"
mkdir -p "$1"
out=$(cd "$1" && pwd)
shift
mkdir -p "$out/logs" "$cache"
as_user() { runuser -u "$user" -- env HOME="$(getent passwd "$user" | cut -d: -f6)" "$@"; }

mirror=$(debian_mirror)
[ -n "$mirror" ] || die "no Debian mirror in this machine's apt sources"
declare -A number=([bookworm]=12 [trixie]=13 [sid]=) dist=([bookworm]=bookworm [trixie]=trixie [sid]=unstable)

# A root file system tarball of the suite; prints its path. A snapshot
# mirror's Release files may be past their date, so apt is told to accept them.
tarball() {
    local suite=$1 variant=$2 file ext=tar.gz
    [ "$variant" = minbase ] || ext=tar.zst  # piuparts reads only gzip
    file=$cache/$suite-$variant-$(date +%G-%V)-$(printf '%s' "$mirror" | sha256sum | cut -c1-8).$ext
    if [ ! -f "$file" ]; then
        rm -f "$cache/$suite-$variant"-*
        # mmdebstrap takes the format from the name's ending.
        mmdebstrap --quiet --mode=root --variant="$variant" \
            --aptopt='Acquire::Check-Valid-Until "false"' "$suite" "$file.new.$ext" "$mirror" >&2
        mv "$file.new.$ext" "$file"
    fi
    echo "$file"
}

# The source package of the suite: the upstream tarball is the committed tree
# (with uncommitted changes to tracked files) without debian/; stable
# releases get a changelog entry of their own, 1.0-1~deb12u1 on Debian 12, so
# each release's version sorts below the next one's.
work=$(mktemp -d)
chmod 755 "$work"
trap 'rm -rf "$work"' EXIT
tree=$(git -C "$root" stash create)
tree=${tree:-HEAD}
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}
upstream=$(dpkg-parsechangelog -l "$root/debian/changelog" -S Version | cut -d- -f1)
git -C "$root" archive --prefix="tundrel-$upstream/" "$tree" ':(exclude)debian' |
    xz -T1 -6 >"$work/tundrel_$upstream.orig.tar.xz"

source_package() {
    local suite=$1 dir=$work/$1 src
    src=$dir/tundrel-$upstream
    mkdir -p "$src"
    tar -C "$src" --strip-components=1 -xf "$work/tundrel_$upstream.orig.tar.xz"
    git -C "$root" archive "$tree" debian | tar -C "$src" -xf -
    if [ -n "${number[$suite]}" ]; then
        local base maintainer
        base=$(dpkg-parsechangelog -l "$src/debian/changelog" -S Version)
        maintainer=$(dpkg-parsechangelog -l "$src/debian/changelog" -S Maintainer)
        { printf 'tundrel (%s~deb%su1) %s; urgency=medium\n\n' "$base" "${number[$suite]}" "$suite"
          printf '  * Build for Debian %s (%s).\n\n' "${number[$suite]}" "$suite"
          printf ' -- %s  %s\n\n' "$maintainer" "$(LC_ALL=C date -u -R -d "@$SOURCE_DATE_EPOCH")"
          cat "$root/debian/changelog"; } >"$src/debian/changelog"
    fi
    cp "$work/tundrel_$upstream.orig.tar.xz" "$dir/"
    (cd "$dir" && dpkg-source -b "tundrel-$upstream" >/dev/null && rm -rf "tundrel-$upstream")
    chown -R "$user:" "$dir"
}

# sbuild as the build user; its log is the output. $1: folder, the rest sbuild's options.
build() {
    local dir=$1 suite=$2
    shift 2
    (cd "$dir" && as_user sbuild --chroot-mode=unshare --chroot="$buildd" \
        --dist="${dist[$suite]}" --arch-any --no-arch-all --no-run-autopkgtest --no-run-piuparts \
        --nolog "$@" ./*.dsc) >"$dir.log" 2>&1
}

# "SFML x.y.z: N passed, M failed, K skipped" from a build's log.
suite_line() {
    local sfml total failed skipped
    sfml=$(sed -n 's/^-- Building against SFML //p' "$1" | tail -n 1)
    read -r failed total < <(sed -n 's/^[0-9]*% tests passed, \([0-9]*\) tests\{0,1\} failed out of \([0-9]*\).*/\1 \2/p' "$1" | tail -n 1) ||
        { echo "SFML ${sfml:-unknown}: the suite did not finish"; return; }
    skipped=$(grep -c '\*\*\*Skipped' "$1" || true)
    echo "SFML $sfml: $((total - failed - skipped)) passed, $failed failed$([ "$skipped" -eq 0 ] || echo ", $skipped skipped")"
}

# Newer debconf leaves its own scratch folder behind, which Debian 12's
# piuparts does not know yet.
piuparts_options=(--warn-on-debsums-errors --ignore=/var/cache/debconf/tmp.ci/)
failed=0
declare -A deb
for job in "$@"; do
    suite=${job%%:*} options=${job#"$suite"} options=",${options#:},"
    [ -n "${number[$suite]+set}" ] || die "unknown suite $suite"
    echo "--- Debian ${number[$suite]:-unstable} ($suite)"
    verdict=()
    buildd=$(tarball "$suite" buildd)
    minbase=$(tarball "$suite" minbase)
    source_package "$suite"
    sbuild_options=(--run-lintian --lintian-opts="--fail-on=error,warning --display-info --pedantic")
    [[ $options == *,source,* ]] && sbuild_options+=(--source)
    # A stable release's lintian knows an older policy than the package follows.
    [ -z "${number[$suite]}" ] || sbuild_options+=(--lintian-opt=--suppress-tags=newer-standards-version)
    [[ $options == *,nocheck,* ]] && sbuild_options+=(--profiles=nocheck)
    if ! build "$work/$suite" "$suite" "${sbuild_options[@]}"; then
        tail -n 40 "$work/$suite.log"
        cp "$work/$suite.log" "$out/logs/"
        echo "Debian ${number[$suite]:-unstable}: sbuild FAILED"
        failed=1
        continue
    fi
    cp "$work/$suite.log" "$out/logs/$suite-sbuild.log"
    [[ $options == *,nocheck,* ]] || suite_line "$work/$suite.log"
    verdict+=("sbuild ok")
    if grep -q '^I: Lintian run was successful' "$work/$suite.log"; then verdict+=("lintian ok"); else
        sed -n '/^| Lintian /,/^+---/p' "$work/$suite.log"; verdict+=("lintian FAILED"); failed=1; fi
    deb[$suite]=$(ls "$work/$suite"/tundrel_*_amd64.deb)

    if [[ $options == *,twice,* ]]; then
        mkdir "$work/$suite-again"
        cp "$work/$suite"/*.dsc "$work/$suite"/*.tar.* "$work/$suite-again/"
        chown -R "$user:" "$work/$suite-again"
        if build "$work/$suite-again" "$suite" --profiles=nocheck --no-run-lintian &&
           diffoscope --no-progress "${deb[$suite]}" "$work/$suite-again/$(basename "${deb[$suite]}")" \
                >"$out/logs/$suite-diffoscope.txt" 2>&1; then
            verdict+=("reproducible")
        else
            head -n 40 "$out/logs/$suite-diffoscope.txt"; verdict+=("NOT reproducible"); failed=1
        fi
    fi

    changes=$(ls "$work/$suite"/*.changes | head -n 1)
    if as_user autopkgtest --quiet --apt-upgrade "$changes" -- unshare --release "$suite" \
            --tarball "$minbase" >"$out/logs/$suite-autopkgtest.log" 2>&1; then
        verdict+=("autopkgtest ok")
    else
        tail -n 30 "$out/logs/$suite-autopkgtest.log"; verdict+=("autopkgtest FAILED"); failed=1
    fi
    if piuparts -d "$suite" -m "$mirror" -b "$minbase" "${piuparts_options[@]}" \
            "${deb[$suite]}" >"$out/logs/$suite-piuparts.log" 2>&1; then
        verdict+=("piuparts ok")
    else
        tail -n 30 "$out/logs/$suite-piuparts.log"; verdict+=("piuparts FAILED"); failed=1
    fi
    cp "${deb[$suite]}" "$out/"
    [[ $options != *,source,* ]] || cp "$work/$suite"/*.dsc "$work/$suite"/*.tar.* "$out/"
    printf -v line '%s, ' "${verdict[@]}"
    echo "Debian ${number[$suite]:-unstable}: ${line%, }"
done

# A Debian 12 system with the game, upgraded to Debian 13 along with it.
if [ -n "${deb[bookworm]:-}" ] && [ -n "${deb[trixie]:-}" ]; then
    repo=$work/repo12
    mkdir -p "$repo"
    cp "${deb[bookworm]}" "$repo/"
    (cd "$repo" && dpkg-scanpackages . >Packages 2>/dev/null)
    if piuparts -d bookworm -d trixie -m "$mirror" -b "$(tarball bookworm minbase)" \
            --bindmount="$repo" --extra-repo="deb [trusted=yes] file://$repo ./" "${piuparts_options[@]}" \
            "${deb[trixie]}" >"$out/logs/upgrade-piuparts.log" 2>&1; then
        echo "Debian 12 to 13: piuparts upgrade ok"
    else
        tail -n 30 "$out/logs/upgrade-piuparts.log"
        echo "Debian 12 to 13: piuparts upgrade FAILED"
        failed=1
    fi
fi
exit "$failed"
