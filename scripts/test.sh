#!/usr/bin/env bash
# Builds and runs every test: the native build and its sanitizer builds.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
setup_base
cd "$ROOT"
start=$(date +%s)
for preset in linux linux-asan linux-tsan; do
  echo "=== $preset"
  build_preset "$preset"
  ctest --preset "$preset"
done
echo "all test runs passed in $(( $(date +%s) - start )) s"
