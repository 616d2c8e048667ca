#!/usr/bin/env bash
# The main job: builds the plug-in and the host simulator, then runs
# drovanel-sim with every virtual panel attached. Arguments go to drovanel-sim,
# except that "--check-bip FILE..." checks BIP layout files instead
# (drovanel-bip-check).
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
setup_base
cd "$ROOT"
build_preset linux >/dev/null
if [ "${1:-}" = "--check-bip" ]; then
  shift
  exec "$ROOT/build/linux/hostsim/drovanel-bip-check" "$@"
fi
exec "$ROOT/build/linux/hostsim/drovanel-sim" "$@"
