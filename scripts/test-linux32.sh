#!/usr/bin/env bash
# Builds the core and its tests for i686 Linux (preset linux32: the 32-bit
# code with the 32-bit Windows plug-in's float arithmetic) and runs them, so
# that the 32-bit code is tested on every machine: 32-bit wine needs a
# kernel that runs 32-bit programs, and some machines' kernels do not.
# There the tests run under qemu's user-mode emulator; elsewhere directly.
# DROVANEL_ASSUME_NO_IA32=1 takes the emulator on either kind of machine.
# Installs the multilib compiler, and the emulator when it is needed.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

setup_base
bash "$ROOT/scripts/setup.sh" g++-multilib

# The same question the build asks (cmake/I686Testing.cmake): does a static
# 32-bit program start?
probe_dir=$(mktemp -d)
trap 'rm -rf "$probe_dir"' EXIT
echo 'int main(void) { return 0; }' >"$probe_dir/probe.c"
gcc -m32 -static -o "$probe_dir/probe" "$probe_dir/probe.c"
if ! "$probe_dir/probe" 2>/dev/null || [ "${DROVANEL_ASSUME_NO_IA32:-}" = 1 ]; then
  bash "$ROOT/scripts/setup.sh" qemu-user-static
  how="under qemu-i386-static"
else
  how="directly"
fi

cd "$ROOT"
start=$(date +%s)
echo "=== linux32 (the tests run $how)"
build_preset linux32
ctest --preset linux32
echo "linux32 test run passed in $(( $(date +%s) - start )) s"
