#!/usr/bin/env bash
# Builds and runs every test: the native build and its sanitizer builds,
# the Windows builds under wine, the 32-bit code built for i686 Linux (which
# runs everywhere: under qemu's user-mode emulator where the kernel runs no
# 32-bit programs, and so no 32-bit wine), and the Linux backend and the
# 64-bit Windows plug-in (under wine) on a real kernel in qemu. Installs what
# is missing first.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
setup_base
cd "$ROOT"
start=$(date +%s)
for preset in linux linux-asan linux-tsan; do
  echo "=== $preset"
  build_preset "$preset"
  ctest --preset "$preset"
done
echo "=== windows (mingw-w64, wine)"
bash "$ROOT/scripts/test-windows.sh"
echo "=== linux32 (the 32-bit code on any kernel: directly, or under qemu-i386-static)"
bash "$ROOT/scripts/test-linux32.sh"
echo "=== kernel (hidraw in a qemu guest)"
DROVANEL_KERNEL_PLUGIN_BUILD="$ROOT/build/linux" bash "$ROOT/tests/kernel/run.sh" --self-check
echo "=== wine in the kernel guest (win.xpl through wine's HID stack)"
bash "$ROOT/tests/kernel/win-run.sh" --self-check
echo "all test runs passed in $(( $(date +%s) - start )) s"
