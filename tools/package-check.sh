#!/usr/bin/env bash
# Checks Debian packages as a desktop would meet them: lintian reports no
# error and no warning, desktop-file-validate and appstreamcli no error; the
# package is installed with apt, its menu entry and icons are looked at, the
# package's own tests (debian/tests) start the installed game through its menu
# entry; then the package is purged and nothing of it may be left.
#
# Usage: tools/package-check.sh [FILE.changes | FILE.deb]
#   Without an argument it builds the package with tools/build-deb.sh first.
#   A .changes file is linted whole (source too) and its package installed.
#   Needs root (it installs and purges the package).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
started=$(date +%s)
say() { echo "package-check: $*"; }
fail() { echo "package-check: FAILED: $*" >&2; exit 1; }

[ "$(id -u)" -eq 0 ] || fail "needs root (it installs and purges the package)"
tools=(lintian desktop-file-utils appstream xvfb xauth x11-utils xdotool)
missing=()
for p in "${tools[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    say "installing ${missing[*]}"
    install=(apt-get install -y -qq --no-install-recommends -o DPkg::Lock::Timeout=600 "${missing[@]}")
    DEBIAN_FRONTEND=noninteractive "${install[@]}" >/dev/null ||
        { apt-get update -qq && DEBIAN_FRONTEND=noninteractive "${install[@]}" >/dev/null; }
fi

target=${1:-}
if [ -z "$target" ]; then
    target=$("$root/tools/build-deb.sh" | tail -n 1)
fi
[ -f "$target" ] || fail "no $target"
case "$target" in
    *.changes) deb=$(dirname "$target")/$(sed -n 's/^ [0-9a-f]\{64\} [0-9]* \(tundrel_[^ ]*\.deb\)$/\1/p' "$target" | head -n 1) ;;
    *) deb=$target ;;
esac
[ -f "$deb" ] || fail "no package in $target"
say "checking $deb"

scratch=$(mktemp -d)
installed=0
cleanup() {
    if [ "$installed" -eq 1 ]; then
        dpkg --purge tundrel >/dev/null 2>&1 || true
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT

say "lintian"
lintian_status=0
lintian_out=$(lintian --fail-on error,warning --display-info --pedantic "$target" 2>&1) || lintian_status=$?
grep -v 'root privileges' <<<"$lintian_out" || true
[ "$lintian_status" -eq 0 ] || fail "lintian reports errors or warnings"

dpkg-deb -x "$deb" "$scratch/unpacked"
desktop_files=("$scratch"/unpacked/usr/share/applications/*.desktop)
metainfo_files=("$scratch"/unpacked/usr/share/metainfo/*.metainfo.xml)
[ -f "${desktop_files[0]}" ] || fail "no desktop entry in the package"
[ -f "${metainfo_files[0]}" ] || fail "no AppStream metainfo in the package"
say "desktop-file-validate"
desktop-file-validate "${desktop_files[@]}" || fail "desktop-file-validate reports errors"
say "appstreamcli validate"
appstreamcli validate --no-net "${metainfo_files[@]}" || fail "appstreamcli reports errors"

# --- install as the README says: apt resolves the dependencies or refuses ---
installed=1
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq -o DPkg::Lock::Timeout=600 \
    "$(readlink -f "$deb")" >/dev/null || fail "apt could not install $deb"
[ "$(dpkg-query -W -f='${Status}' tundrel)" = 'install ok installed' ] || fail "the package did not install"
dpkg -L tundrel > "$scratch/files"
say "installed $(grep -c . "$scratch/files") paths"

# The menu data: one entry, its icon in every size, the AppStream id beside it.
desktop=$(grep '^/usr/share/applications/.*\.desktop$' "$scratch/files" | head -n 1)
app_id=$(basename "$desktop" .desktop)
[ "$(sed -n 's/^Icon=//p' "$desktop")" = "$app_id" ] || fail "the entry's icon is not $app_id"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "/usr/share/metainfo/$app_id.metainfo.xml" ||
    fail "the metainfo does not launch $app_id.desktop"
for size in 16 32 48 64 128 256; do
    png=/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png
    [ -f "$png" ] || fail "no $png"
    # PNG width and height are the big-endian words at bytes 16 to 23.
    read -r w0 w1 w2 w3 h0 h1 h2 h3 < <(od -An -tu1 -j16 -N8 "$png")
    [ $(( (w0 << 24) | (w1 << 16) | (w2 << 8) | w3 )) -eq "$size" ] &&
    [ $(( (h0 << 24) | (h1 << 16) | (h2 << 8) | h3 )) -eq "$size" ] || fail "$png is not $size x $size"
done
grep -q '^/usr/share/man/man6/tundrel\.6\.gz$' "$scratch/files" || fail "no manual page"
if command -v man >/dev/null; then
    man -w tundrel >/dev/null 2>&1 || fail "man tundrel finds no page"
fi
say "menu entry $app_id with its icon in six sizes, AppStream data and man page in place"

# --- the package's own tests, run as autopkgtest runs them -------------------
for t in $(sed -n 's/^Tests: *//p' "$root/debian/tests/control"); do
    mkdir "$scratch/$t"
    AUTOPKGTEST_TMP=$scratch/$t "$root/debian/tests/$t" || fail "debian/tests/$t failed"
done

# --- purge -----------------------------------------------------------------
dpkg --purge tundrel >/dev/null
installed=0
left=0
while IFS= read -r path; do
    [ "$path" = "/." ] && continue
    if [ -d "$path" ] && [ ! -L "$path" ]; then
        # Shared folders stay while another package owns them.
        dpkg-query -S "$path" >/dev/null 2>&1 && continue
        if [ -z "$(ls -A "$path")" ]; then
            echo "left behind: $path"
            left=1
        fi
    elif [ -e "$path" ] || [ -L "$path" ]; then
        echo "left behind: $path"
        left=1
    fi
done < "$scratch/files"
[ "$left" -eq 0 ] || fail "the purge left files behind"
say "purged; nothing of the package is left"
say "passed in $(( $(date +%s) - started )) s"
