#!/usr/bin/env bash
# Makes Debian's source packages reachable for apt-get source: adds a deb-src
# entry for the mirror the machine already uses, unless the source package
# named as the argument can already be found. Needs root. Used by the scripts
# that cross-build third-party libraries for Windows.
set -euo pipefail

# Source packages need a deb-src line. Debian 12 keeps its sources in deb822
# form; a file of our own beside it adds the source entry for the same mirror.
if ! apt-cache showsrc "$1" 2>/dev/null | grep -q "^Package: $1\$"; then
  mirror=http://deb.debian.org/debian
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    found=$(awk '/^URIs:/ { for (i = 2; i <= NF; i++) if ($i !~ /security/) { print $i; exit } }' \
      /etc/apt/sources.list.d/debian.sources)
    [ -n "$found" ] && mirror=$found
  fi
  echo "add-deb-src: adding deb-src entry for $mirror bookworm main"
  cat > /etc/apt/sources.list.d/thrumwell-deb-src.sources <<EOF
Types: deb-src
URIs: $mirror
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  apt-get update -qq
fi

