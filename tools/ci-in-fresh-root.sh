#!/usr/bin/env bash
# Runs CI as a new machine would: a clean clone of HEAD in a freshly made
# Debian 12 root (mmdebstrap, the "important" packages and git, this
# machine's apt sources), with no caches and nothing installed beforehand,
# then `bash .ci/run` in it as root with CI=true. The shared folder goes
# beside the clone, read-only, as CI has it. Run as root; the root is kept in
# FOLDER (default a new folder under /var/tmp) for its logs and dist/.
#
#   tools/ci-in-fresh-root.sh [FOLDER]
set -euo pipefail
repo=$(cd "$(dirname "$(readlink -f "$0")")/.." && pwd)
. "$repo/tools/lib/debian-mirror.sh"
shared=$(cd "$repo/../shared" 2>/dev/null && pwd || true)
dir=${1:-$(mktemp -d /var/tmp/tundrel-fresh-root.XXXXXX)}
command -v mmdebstrap >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq mmdebstrap >/dev/null

mmdebstrap --quiet --mode=root --variant=important --include=ca-certificates,git bookworm "$dir" "$(debian_mirror)"
# The machine's own apt sources, in place of mmdebstrap's one line.
rm -f "$dir/etc/apt/sources.list"
cp -a /etc/apt/sources.list /etc/apt/sources.list.d "$dir/etc/apt/" 2>/dev/null || true
cp /etc/resolv.conf "$dir/etc/resolv.conf"
mkdir -p "$dir/work/shared"
git clone -q "$repo" "$dir/work/ci"

# Private mount and process namespaces with their own /proc and /tmp, the
# root made the namespace's own by pivot_root: a process that is merely
# chrooted may not make the user namespaces sbuild's unshare mode needs. Not
# bubblewrap: it forbids setuid programs, and sbuild's newuidmap is one.
started=$(date +%s)
status=0
unshare --mount --pid --fork --propagation private sh -c '
    dir=$1 shared=$2
    mount --bind "$dir" "$dir" && mount --rbind /dev "$dir/dev" && mount --rbind /sys "$dir/sys" &&
    mount -t proc proc "$dir/proc" && mount -t tmpfs tmpfs "$dir/tmp" || exit 1
    [ -z "$shared" ] || mount --bind -o ro "$shared" "$dir/work/shared"
    mkdir -p "$dir/.old-root" && cd "$dir" && pivot_root . .old-root && umount -l /.old-root || exit 1
    cd / && exec /usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        HOME=/root LANG=C.UTF-8 CI=true sh -c "cd /work/ci && exec bash .ci/run </dev/null"' \
    sh "$dir" "$shared" 2>&1 | tee "$dir/ci.log" || status=$?
echo "fresh-root CI: exit status $status after $(( $(date +%s) - started )) s (root in $dir)"
exit "$status"
