#!/usr/bin/env bash
# The package version for the Debian release this system runs: the version
# at the top of debian/changelog, with ~deb<N>u1 appended on a stable release
# (1.0-1~deb12u1 on Debian 12), unchanged on testing and unstable. The suffix
# sorts before the plain version, so each release upgrades to the next.
#
#   tools/debian-release.sh version            print that version
#   tools/debian-release.sh changelog OUTPUT   write debian/changelog to OUTPUT
#                                              with an entry for it on top
#
# The new entry is dated SOURCE_DATE_EPOCH, by default the last commit's time.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
changelog=$root/debian/changelog
top=$(head -n 1 "$changelog")
package=${top%% *}
base=$(sed -n '1s/^[^ ]* (\([^)]*\)).*/\1/p' "$changelog")
release=$(. /etc/os-release && echo "${VERSION_ID:-}")
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
version=$base
[[ $release =~ ^[0-9]+$ ]] && version="$base~deb${release}u1"

case "${1:-}" in
    version)
        echo "$version"
        ;;
    changelog)
        out=${2:?usage: $0 changelog OUTPUT}
        if [ "$version" = "$base" ]; then
            cp "$changelog" "$out.new"
        else
            epoch=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || true)}
            [ -n "$epoch" ] || { echo "debian-release: set SOURCE_DATE_EPOCH (no git history)" >&2; exit 1; }
            maintainer=$(sed -n 's/^ -- \(.*>\)  .*/\1/p' "$changelog" | head -n 1)
            {
                printf '%s (%s) %s; urgency=medium\n\n' "$package" "$version" "$codename"
                printf '  * Build for Debian %s (%s).\n\n' "$release" "$codename"
                printf ' -- %s  %s\n\n' "$maintainer" "$(LC_ALL=C date -u -R -d "@$epoch")"
                cat "$changelog"
            } > "$out.new"
        fi
        mv "$out.new" "$out"
        ;;
    *)
        sed -n '2,11s/^# \{0,1\}//p' "$0" >&2
        exit 2
        ;;
esac
