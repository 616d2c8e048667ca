#!/usr/bin/env bash
# The main job: builds the plug-in and the host simulator, then runs
# drovanel-sim with every virtual panel attached. Arguments go to drovanel-sim.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
setup_base
cd "$ROOT"
build_preset linux >/dev/null
exec "$ROOT/build/linux/hostsim/drovanel-sim" "$@"
