#!/usr/bin/env bash
# Runs the Linux HID backend against a real kernel: boots Debian's stock
# kernel under qemu (software emulation) with an initramfs holding busybox,
# the hid, uhid and hid-generic modules, uhid-panels (four panels made
# through uhid) and hidraw-guest (the shipped backend and discovery, linked
# statically), and reads the verdict from qemu's exit status and the serial log.
#
#   bash tests/kernel/run.sh               the check
#   bash tests/kernel/run.sh --self-check  the check, then a deliberately broken
#                                          backend, which must fail
#
# With DROVANEL_KERNEL_PLUGIN_BUILD set to a CMake build folder of the linux
# preset (holding lin.xpl and hostsim/libhostsim.so), the guest also runs
# plugin-guest: the stand-in host loading the whole lin.xpl.
#
# Nothing is installed on the host's /boot: the kernel package is downloaded
# and unpacked into the cache folder. When qemu or the kernel cannot be had,
# it prints "kernel check skipped: <reason>" and exits 0.
#
# DROVANEL_KERNEL_CACHE (default build/kernel-cache, shared with
# win-run.sh) keeps the unpacked kernel between runs; DROVANEL_KERNEL_WORK
# (default build/kernel) holds the programs, the initramfs and the serial logs.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
LABEL=kernel
. "$ROOT/tests/kernel/common.sh"
WORK=${DROVANEL_KERNEL_WORK:-$ROOT/build/kernel}
BOOT_LIMIT=${DROVANEL_KERNEL_BOOT_LIMIT:-150}  # seconds per boot (the guest unplugs and replugs a panel)
CXX=${CXX:-g++}
MODULES=(hid uhid hid-generic)

read_mode "$@"

# ---------------------------------------------------------------- tools
if ! command -v qemu-system-x86_64 >/dev/null || ! busybox_static; then
  install_tools "qemu-system-x86 or busybox-static is missing and installing needs root" \
    "qemu-system-x86 and busybox-static could not be installed" qemu-system-x86 busybox-static
  command -v qemu-system-x86_64 >/dev/null || skip "qemu-system-x86_64 not found after installing"
  busybox_static || skip "/bin/busybox is not the static busybox"
fi

# ---------------------------------------------------------------- kernel
ensure_kernel
say "kernel $(cat "$KERNEL/package")"

# ---------------------------------------------------------------- programs
mkdir -p "$WORK/obj"
FLAGS=(-std=c++17 -O1 -Wall -Wextra -Werror -pthread -DDROVANEL_BEHAVIOUR_32=0
       -I"$ROOT/panels" -I"$ROOT/sdk" -I"$ROOT/tests/kernel")
SOURCES=(panels/abstract_panel.cpp panels/device_paths.cpp panels/discovery.cpp panels/tick.cpp panels/settings_file.cpp
         panels/device_watch.cpp panels/device_pickup.cpp
         panels/hid/list_device_services.cpp panels/hid/hidraw_backend.cpp
         tests/kernel/sdk_stub.cpp tests/kernel/hidraw_guest_test.cpp)

# The broken backend takes every descriptor for one with report ids, so the
# id byte is never put in front of the panels' input.
mkdir -p "$WORK/broken"
sed 's/bool numbered = readNumbering(fd);/bool numbered = readNumbering(fd) || true;/' \
  "$ROOT/panels/hid/hidraw_backend.cpp" >"$WORK/broken/hidraw_backend.cpp"
if cmp -s "$ROOT/panels/hid/hidraw_backend.cpp" "$WORK/broken/hidraw_backend.cpp"; then
  echo "kernel: FAIL cannot make the broken backend (the line it changes is gone)" >&2
  exit 1
fi

compile() {  # source object [flags]
  local src=$1 obj=$2
  shift 2
  "$CXX" "${FLAGS[@]}" "$@" -c "$src" -o "$obj"
}
build_programs() {
  local src obj o running=0
  objects=()
  for src in "${SOURCES[@]}" broken; do
    if [ "$src" = broken ]; then
      compile "$WORK/broken/hidraw_backend.cpp" "$WORK/obj/hidraw_backend_broken.o" -I"$ROOT/panels/hid" &
    else
      obj=$WORK/obj/$(basename "${src%.cpp}").o
      objects+=("$obj")
      compile "$ROOT/$src" "$obj" &
    fi
    running=$((running + 1))
    if [ $running -ge 2 ]; then wait -n; running=$((running - 1)); fi
  done
  "$CXX" "${FLAGS[@]}" -static "$ROOT/tests/kernel/uhid_panels.cpp" -o "$WORK/uhid-panels"
  "$CXX" "${FLAGS[@]}" -static "$ROOT/tests/kernel/guest_exit.cpp" -o "$WORK/guest-exit"
  while [ $running -gt 0 ]; do wait -n; running=$((running - 1)); done
  "$CXX" -static -pthread "${objects[@]}" -o "$WORK/hidraw-guest"
  broken_objects=()
  for o in "${objects[@]}"; do
    [ "$(basename "$o")" = hidraw_backend.o ] && o=$WORK/obj/hidraw_backend_broken.o
    broken_objects+=("$o")
  done
  "$CXX" -static -pthread "${broken_objects[@]}" -o "$WORK/hidraw-guest-broken"
}
# Rebuilt only when a source, a header, this script or the compiler changed.
stamp=$( (cd "$ROOT" && cat "${SOURCES[@]}" panels/*.h panels/hid/*.h sdk/*.h tests/kernel/*.cpp tests/kernel/*.h tests/kernel/*.sh && "$CXX" --version) |
         sha256sum | cut -d' ' -f1)
if [ "$(cat "$WORK/programs.stamp" 2>/dev/null)" != "$stamp" ]; then
  say "building the guest programs"
  rm -f "$WORK/programs.stamp"
  build_programs
  echo "$stamp" >"$WORK/programs.stamp"
fi

# ---------------------------------------------------------------- initramfs
rootfs=$WORK/rootfs
rm -rf "$rootfs"
mkdir -p "$rootfs"/{bin,dev,proc,sys,tmp,lib/modules,lib/drovanel}
cp /bin/busybox "$rootfs/bin/busybox"
cp "$WORK"/{uhid-panels,guest-exit,hidraw-guest,hidraw-guest-broken} "$rootfs/bin/"

PLUGIN_BUILD=${DROVANEL_KERNEL_PLUGIN_BUILD:-}
if [ -n "$PLUGIN_BUILD" ]; then
  PLUGIN_BUILD=$(cd "$PLUGIN_BUILD" && pwd)
  for f in lin.xpl hostsim/libhostsim.so; do
    [ -f "$PLUGIN_BUILD/$f" ] || { echo "kernel: FAIL $PLUGIN_BUILD/$f is missing (build the linux preset first)"; exit 1; }
  done
  "$CXX" "${FLAGS[@]}" -I"$ROOT" "$ROOT/tests/kernel/plugin_guest.cpp" -L"$PLUGIN_BUILD/hostsim" -lhostsim \
    -Wl,-rpath,/lib/drovanel -o "$rootfs/bin/plugin-guest"
  cp "$PLUGIN_BUILD/lin.xpl" "$PLUGIN_BUILD/hostsim/libhostsim.so" "$rootfs/lib/drovanel/"
  # The shared libraries they need, at the same paths as on this machine.
  for lib in $(LD_LIBRARY_PATH="$PLUGIN_BUILD/hostsim" ldd "$rootfs/bin/plugin-guest" "$PLUGIN_BUILD/lin.xpl" |
               awk '/=> \// { print $3 } /^\t\/[^ ]*ld-linux/ { print $1 }' | grep -v libhostsim | sort -u); do
    mkdir -p "$rootfs$(dirname "$lib")"
    cp -L "$lib" "$rootfs$lib"
  done
fi
copy_modules "$rootfs" "${MODULES[@]}"
cat >"$rootfs/init" <<'EOF'
#!/bin/busybox sh
/bin/busybox --install -s /bin
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
mount -t tmpfs tmpfs /tmp
for m in hid uhid hid-generic; do
  [ -f /lib/modules/$m.ko ] && insmod /lib/modules/$m.ko
done
program=/bin/hidraw-guest
grep -q 'drovanel.test=broken' /proc/cmdline && program=/bin/hidraw-guest-broken
echo "drovanel-guest: kernel $(uname -r), running $program"
$program
rc=$?
if [ -x /bin/plugin-guest ] && [ $program = /bin/hidraw-guest ]; then
  LD_LIBRARY_PATH=/lib/drovanel:/lib/x86_64-linux-gnu:/usr/lib/x86_64-linux-gnu /bin/plugin-guest /lib/drovanel/lin.xpl || rc=1
fi
echo "drovanel-guest: exit $rc"
if [ $rc = 0 ]; then /bin/guest-exit 0; else /bin/guest-exit 1; fi
poweroff -f
EOF
chmod +x "$rootfs/init"
pack_initramfs "$rootfs" "$WORK/initramfs.cpio"

# ---------------------------------------------------------------- boot
# boot <variant>: sets verdict to pass, fail or "none (...)".
boot() {
  local variant=$1 log=$WORK/serial-$1.log
  boot_qemu "$BOOT_LIMIT" "$WORK/initramfs.cpio" "$log" "$WORK/qemu-$variant.log" \
    -cpu max -m 512 -append "console=ttyS0 quiet panic=-1 drovanel.test=$variant"
  # The log must agree with the exit status.
  if [ "$verdict" = pass ] && ! grep -q '^hidraw-guest: [1-9][0-9]* checks, 0 failed' "$log.txt"; then
    verdict="none (passed without a clean summary)"
  fi
  if [ "$verdict" = pass ] && [ -n "$PLUGIN_BUILD" ] && [ "$variant" = good ] &&
     ! grep -q '^plugin-guest: [1-9][0-9]* checks, 0 failed' "$log.txt"; then
    verdict="none (the plug-in stage gave no clean summary)"
  fi
}

say "booting the guest"
boot good
grep -E '^(PASS|FAIL|  )|^(hidraw|plugin)-guest:' "$WORK/serial-good.log.txt" || true
if [ "$verdict" != pass ]; then
  echo "kernel: FAIL, verdict $verdict; serial log: $WORK/serial-good.log.txt"
  tail -n 30 "$WORK/serial-good.log.txt" 2>/dev/null || true
  exit 1
fi
say "passed on $(cat "$KERNEL/package") in $(( $(date +%s) - start )) s"

if [ "$mode" = self-check ]; then
  say "self-check: booting with a backend that drops the report-id byte"
  boot broken
  grep -E '^FAIL' "$WORK/serial-broken.log.txt" || true
  if [ "$verdict" = fail ] && grep -q '^FAIL input of the .* report id first' "$WORK/serial-broken.log.txt"; then
    say "self-check passed: the broken backend fails ($(( $(date +%s) - start )) s in all)"
  else
    echo "kernel: FAIL, the broken backend was not caught (verdict $verdict)"
    exit 1
  fi
fi
