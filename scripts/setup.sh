#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine (as
# root), skipping what is already there. Safe to run again.
set -euo pipefail

need=()
for pkg in "$@"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
    need+=("$pkg")
  fi
done
if [ ${#need[@]} -gt 0 ]; then
  echo "setup: installing ${need[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi
