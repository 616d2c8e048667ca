#!/usr/bin/env bash
# Runs the 64-bit Windows plug-in against a real HID stack: wine, inside the
# kernel test's qemu guest, where uhid-panels makes the four panels through
# the kernel's uhid driver. The stand-in host built as the SDK's DLLs
# (win64 preset) loads win.xpl with LoadLibrary and plays a short scenario
# (tests/kernel/win_guest/win_guest.cpp).
#
#   bash tests/kernel/win-run.sh               the check
#   bash tests/kernel/win-run.sh --self-check  the check, then, in the same
#                                              guest, a win.xpl whose backend
#                                              drops the report-id byte of
#                                              every read, which must fail
#
# The guest is the initramfs of busybox and kernel modules; everything else
# comes from this machine's root file system, shared read-only over 9p and
# made writable in the guest by an overlay on a tmpfs, so wine and the
# built programs run there at the same paths as here.
#
# What wine needed (wine 8.0, its HID bus driver winebus.sys):
#  - "DisableUdevd"=1 under HKLM\System\CurrentControlSet\Services\winebus:
#    the guest runs no udevd, so udev's monitor never tells winebus of a
#    device that comes or goes (libudev's first enumeration alone still
#    finds the nodes: an unplugged device then stays listed and its reads
#    wait forever). With it, winebus lists /dev/hidraw* itself, watches /dev
#    with inotify and reads each device's ids from sysfs.
#  - "Enable SDL"=0: when SDL loads, winebus starts only the SDL bus, which
#    never shows hidraw devices; "DisableInput"=1 keeps evdev devices out.
#  - write access to /dev/hidrawN (root in the guest).
#  - under qemu's software emulation, a CPU without SMAP (-cpu max,smap=off):
#    qemu 7.2 pops an iretq's frame with supervisor access, so wine's
#    user-mode iretq faults and every wine process dies at start.
# The prefix is made on this machine (wineboot, the settings above) and
# kept in the work folder; the guest's writes to it stay in its tmpfs.
#
# When qemu, wine, the mingw compilers or the kernel cannot be had, it
# prints "wine kernel check skipped: <reason>" and exits 0.
#
# DROVANEL_KERNEL_CACHE (default build/kernel-cache, shared with run.sh)
# keeps the kernel and its modules; DROVANEL_WIN_KERNEL_WORK (default
# build/kernel-win) the prefix, the guest programs, the initramfs and the logs.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
LABEL="wine kernel"
. "$ROOT/tests/kernel/common.sh"
WORK=${DROVANEL_WIN_KERNEL_WORK:-$ROOT/build/kernel-win}
BUILD=$ROOT/build/win64
BOOT_LIMIT=${DROVANEL_WIN_KERNEL_BOOT_LIMIT:-480}   # seconds for the whole guest
CXX=${CXX:-g++}
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver

read_mode "$@"
fail() { echo "wine kernel: FAIL $*"; exit 1; }

# ---------------------------------------------------------------- tools
PACKAGES=(qemu-system-x86 busybox-static wine64 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 cmake)
have_tools() {
  command -v qemu-system-x86_64 >/dev/null && busybox_static && [ -x "$WINE" ] && [ -x "$WINESERVER" ] &&
    command -v x86_64-w64-mingw32-g++-posix >/dev/null && command -v cmake >/dev/null
}
if ! have_tools; then
  install_tools "qemu, busybox-static, wine64 or mingw-w64 is missing and installing needs root" \
    "${PACKAGES[*]} could not be installed" "${PACKAGES[@]}"
  have_tools || skip "qemu, static busybox, wine64 or mingw-w64 still missing after installing"
fi

# ---------------------------------------------------------------- kernel
ensure_kernel
say "kernel $(cat "$KERNEL/package"), $("$WINE" --version)"

# ---------------------------------------------------------------- programs
mkdir -p "$WORK"
[ -f "$BUILD/CMakeCache.txt" ] || cmake --preset win64 -S "$ROOT" >/dev/null || fail "cannot configure the win64 build"
targets=(Drovanel64 hostsim_widgets kernel_win_guest)
[ "$mode" = self-check ] && targets+=(Drovanel64Broken)
cmake --build "$BUILD" -j2 --target "${targets[@]}" >"$WORK/build.log" 2>&1 ||
  { tail -n 30 "$WORK/build.log"; fail "cannot build ${targets[*]} (see $WORK/build.log)"; }
stamp=$( (cd "$ROOT" && cat tests/kernel/uhid_panels.cpp tests/kernel/hex_text.h tests/kernel/guest_exit.cpp && "$CXX" --version) | sha256sum)
if [ "$(cat "$WORK/programs.stamp" 2>/dev/null)" != "$stamp" ]; then
  "$CXX" -std=c++17 -O1 -Wall -Wextra -Werror -static "$ROOT/tests/kernel/uhid_panels.cpp" -o "$WORK/uhid-panels"
  "$CXX" -std=c++17 -O1 -Wall -Wextra -Werror -static "$ROOT/tests/kernel/guest_exit.cpp" -o "$WORK/guest-exit"
  echo "$stamp" >"$WORK/programs.stamp"
fi

# ---------------------------------------------------------------- wine prefix
# Made once per wine installation (a prefix made before 32-bit wine came
# breaks once it is there, so the installed wine packages are in the stamp).
PREFIX=$WORK/prefix
WINEBUS_SETTINGS='Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Services\winebus]
"DisableUdevd"=dword:00000001
"Enable SDL"=dword:00000000
"DisableInput"=dword:00000001
'
wine_env=(env WINEPREFIX="$PREFIX" WINEARCH=win64 WINEDEBUG=-all
          WINEDLLOVERRIDES="winemenubuilder.exe,mscoree,mshtml=d")
prefix_stamp=$( (dpkg-query -W -f='${Package} ${Version}\n' 'wine*' 'libwine*' 2>/dev/null; echo "$WINEBUS_SETTINGS") |
                sha256sum)
if [ "$(cat "$WORK/prefix.stamp" 2>/dev/null)" != "$prefix_stamp" ]; then
  say "making the wine prefix"
  rm -rf "$PREFIX" "$WORK/prefix.stamp"
  printf '%s' "$WINEBUS_SETTINGS" >"$WORK/winebus.reg"
  # Their own server, with its output away from ours: a wine helper that
  # inherits a pipe keeps whoever reads it waiting.
  "${wine_env[@]}" "$WINE" wineboot --init </dev/null >/dev/null 2>&1 || fail "wineboot --init failed"
  "${wine_env[@]}" "$WINE" regedit /S "$WORK/winebus.reg" </dev/null >/dev/null 2>&1 || fail "regedit failed"
  "${wine_env[@]}" "$WINESERVER" -w </dev/null >/dev/null 2>&1 || true
  grep -q '"DisableUdevd"=dword:00000001' "$PREFIX/system.reg" || fail "the winebus settings are not in the prefix"
  echo "$prefix_stamp" >"$WORK/prefix.stamp"
fi

# ---------------------------------------------------------------- initramfs
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
rootfs=$WORK/rootfs
rm -rf "$rootfs"
mkdir -p "$rootfs"/{bin,dev,proc,sys,host,rw,newroot,lib/modules}
cp /bin/busybox "$rootfs/bin/busybox"
copy_modules "$rootfs" $(for m in "${KERNEL_MODULES[@]}"; do basename "$m"; done)
cp "$WORK/uhid-panels" "$WORK/guest-exit" "$rootfs/bin/"
broken=""
[ "$mode" = self-check ] && broken=$(winpath "$BUILD/plugin-broken/win.xpl")
cat >"$rootfs/guest.env" <<EOF
WINEPREFIX='$PREFIX'
WIN_GUEST='$BUILD/bin/kernel_win_guest.exe'
PLUGIN_GOOD='$(winpath "$BUILD/plugin/win.xpl")'
PLUGIN_BROKEN='$broken'
EOF
cp "$ROOT/tests/kernel/win_guest/guest.sh" "$rootfs/guest.sh"
cat >"$rootfs/init" <<'EOF'
#!/bin/busybox sh
/bin/busybox --install -s /bin
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
for m in $(cat /lib/modules/order); do insmod /lib/modules/$m.ko || echo "drovanel-guest: insmod $m failed"; done
# The host's root, read-only, under a writable layer in memory.
mount -t 9p -o trans=virtio,version=9p2000.L,ro,msize=512000,cache=loose hostroot /host &&
  mount -t tmpfs -o size=1200m tmpfs /rw && mkdir /rw/upper /rw/work &&
  mount -t overlay overlay -o lowerdir=/host,upperdir=/rw/upper,workdir=/rw/work /newroot ||
  { echo "drovanel-guest: cannot mount the host's root"; /bin/guest-exit 1; poweroff -f; }
for d in proc sys dev; do mount --bind /$d /newroot/$d; done
mkdir -p /newroot/drovanel
cp /guest.sh /guest.env /bin/uhid-panels /newroot/drovanel/
chroot /newroot /bin/sh /drovanel/guest.sh
rc=$?
echo "drovanel-guest: exit $rc"
if [ $rc = 0 ]; then /bin/guest-exit 0; else /bin/guest-exit 1; fi
poweroff -f
EOF
chmod +x "$rootfs/init"
pack_initramfs "$rootfs" "$WORK/initramfs.cpio"

# ---------------------------------------------------------------- boot
log=$WORK/serial.log
say "booting the guest (wine under software emulation takes a few minutes)"
boot_qemu "$BOOT_LIMIT" "$WORK/initramfs.cpio" "$log" "$WORK/qemu.log" \
  -cpu max,smap=off -m 2048 -append "console=ttyS0 quiet panic=-1" \
  -virtfs local,path=/,mount_tag=hostroot,security_model=none,readonly=on,multidevs=remap
grep -E '^(good|broken|drovanel-guest): ' "$log.txt" || true
if [ "$verdict" = pass ] && ! grep -q '^good: win-guest: [1-9][0-9]* checks, 0 failed' "$log.txt"; then
  verdict="none (passed without a clean summary)"
fi
if [ "$verdict" != pass ]; then
  echo "wine kernel: FAIL, verdict $verdict; serial log: $log.txt"
  tail -n 40 "$log.txt" 2>/dev/null || true
  exit 1
fi
say "passed in $(( $(date +%s) - start )) s"

if [ "$mode" = self-check ]; then
  if grep -q '^broken: FAIL a Multi Panel report reaches the simulator as a heading change' "$log.txt"; then
    say "self-check passed: the backend that drops the report-id byte fails"
  else
    fail "the backend that drops the report-id byte was not caught"
  fi
fi
