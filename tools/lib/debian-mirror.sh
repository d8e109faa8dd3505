# Sourced by the tools that fetch from Debian: the first plain Debian archive
# in this machine's apt sources (not security or updates).
debian_mirror() {
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources 2>/dev/null |
        awk '/^[[:space:]]*#/ { next }
             $1 == "URIs:" || $1 == "deb" { for (i = 2; i <= NF; i++) if ($i ~ /^[a-z+]+:\/\//) print $i }' |
        grep -v -E 'security|updates' | grep -m 1 -E '/debian/?$' || true
}
