#!/bin/sh
# Fetches TinyXML's sources from Debian's source package (with Debian's
# security fixes applied) into a folder, for the build to compile with the
# project's own flags. Debian ships no position-independent or mingw build
# of the library, so the plug-in builds it itself.
#
# Usage: setup-tinyxml.sh <folder>
# Leaves the extracted sources in <folder>/tinyxml-<version>/ and prints
# that path. Safe to run again: nothing is fetched when the sources are
# already there, and the deb-src entry is added only when missing.
set -eu

dest=${1:-}
if [ -z "$dest" ]; then
    echo "usage: $0 <folder>" >&2
    exit 2
fi
mkdir -p "$dest"
dest=$(cd "$dest" && pwd)

find_sources() {
    for d in "$dest"/tinyxml-*/; do
        if [ -f "$d/tinyxml.cpp" ] && [ -f "$d/tinyxml.h" ]; then
            printf '%s\n' "${d%/}"
            return 0
        fi
    done
    return 1
}

if found=$(find_sources); then
    printf '%s\n' "$found"
    exit 0
fi

sudo=""
if [ "$(id -u)" != 0 ]; then
    sudo="sudo"
fi

# dpkg-source unpacks the source package.
if ! command -v dpkg-source >/dev/null 2>&1; then
    $sudo apt-get update
    $sudo apt-get install -y --no-install-recommends dpkg-dev
fi

# A deb-src entry made from the system's own deb sources.
src_list=/etc/apt/sources.list.d/drovanel-deb-src.sources
added=0
if [ ! -f "$src_list" ]; then
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
            | $sudo tee "$src_list" >/dev/null
    elif [ -f /etc/apt/sources.list ]; then
        grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' \
            | $sudo tee "${src_list%.sources}.list" >/dev/null
        src_list="${src_list%.sources}.list"
    else
        echo "setup-tinyxml: no apt source found to derive a deb-src entry from" >&2
        exit 1
    fi
    added=1
fi

fetch() {
    (cd "$dest" && apt-get source --only-source tinyxml)
}

if [ "$added" = 1 ] || ! fetch; then
    $sudo apt-get update
    fetch
fi

if found=$(find_sources); then
    printf '%s\n' "$found"
    exit 0
fi
echo "setup-tinyxml: tinyxml sources not found in $dest after apt-get source" >&2
exit 1
