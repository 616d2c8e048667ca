#!/usr/bin/env bash
# The main job: builds the plug-in and the host simulator, then runs
# drovanel-sim with every virtual panel attached. Arguments go to drovanel-sim,
# except that "--check FILE..." (or the older "--check-bip FILE...") checks
# BIP layouts and aircraft profiles instead (drovanel-check).
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
setup_base
cd "$ROOT"
build_preset linux >/dev/null
if [ "${1:-}" = "--check" ] || [ "${1:-}" = "--check-bip" ]; then
  shift
  exec "$ROOT/build/linux/tools/check/drovanel-check" "$@"
fi
exec "$ROOT/build/linux/hostsim/drovanel-sim" "$@"
