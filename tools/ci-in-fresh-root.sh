#!/usr/bin/env bash
# CI as a new machine runs it: .ci/run as root in a clean clone of HEAD in a fresh
# Debian 12 root (this machine's apt sources, no caches), shared/ beside it read-only.
#   tools/ci-in-fresh-root.sh [FOLDER]   (as root; the root stays in FOLDER)
set -euo pipefail
repo=$(cd "$(dirname "$(readlink -f "$0")")/.." && pwd)
. "$repo/tools/lib/debian-mirror.sh"
dir=${1:-$(mktemp -d /var/tmp/tundrel-fresh-root.XXXXXX)}
command -v mmdebstrap >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq mmdebstrap >/dev/null
mmdebstrap --quiet --mode=root --variant=important --include=ca-certificates,git bookworm "$dir" "$(debian_mirror)"
rm -f "$dir/etc/apt/sources.list"
cp -a /etc/apt/sources.list /etc/apt/sources.list.d "$dir/etc/apt/" 2>/dev/null || true
cp /etc/resolv.conf "$dir/etc/" && mkdir -p "$dir/work/shared" && git clone -q "$repo" "$dir/work/ci"
# The root becomes the namespace's own (pivot_root): a merely chrooted process
# may not make the user namespaces that sbuild's unshare mode needs.
started=$(date +%s) status=0
unshare --mount --pid --fork --propagation private sh -c '
    mount --bind "$1" "$1" && cd "$1" && mount --rbind /dev dev && mount --rbind /sys sys &&
    mount -t proc proc proc && mount -t tmpfs tmpfs tmp && mkdir -p .old-root || exit 1
    [ ! -d "$2" ] || mount --bind -o ro "$2" work/shared
    pivot_root . .old-root && umount -l /.old-root && cd / || exit 1
    exec env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 CI=true \
        sh -c "cd /work/ci && exec bash .ci/run </dev/null"' sh "$dir" "$repo/../shared" 2>&1 | tee "$dir/ci.log" || status=$?
echo "fresh-root CI: exit status $status after $(( $(date +%s) - started )) s (root in $dir)"
exit "$status"
