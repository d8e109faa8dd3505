# Sourced by the tools that fetch from Debian: the mirror this machine uses.

# The first plain Debian archive in the apt sources (not security or updates).
debian_mirror() {
    { cat /etc/apt/sources.list 2>/dev/null || true
      for f in /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
          [ -f "$f" ] && cat "$f"
      done
    } | awk '
        /^[[:space:]]*#/ { next }
        $1 == "URIs:" { for (i = 2; i <= NF; i++) print $i; next }
        $1 == "deb" { for (i = 2; i <= NF; i++) if ($i ~ /^[a-z+]+:\/\//) { print $i; break } }
    ' | grep -v -E 'security|updates' | grep -E '/debian/?$' | head -n 1 || true
}
