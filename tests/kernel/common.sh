# Shared by run.sh and win-run.sh (sourced, not run): messages, tool
# installation, the kernel cache, the initramfs and the qemu boot.
#
# The sourcing script sets ROOT and LABEL ("kernel", "wine kernel") first.
# DROVANEL_KERNEL_CACHE (default build/kernel-cache) keeps Debian's stock
# kernel and the modules both checks load, so its package is downloaded once.

CACHE=${DROVANEL_KERNEL_CACHE:-$ROOT/build/kernel-cache}
KERNEL=$CACHE/kernel
# Kernel modules, in load order: virtio and 9p for a shared root, overlay,
# and the HID stack.
KERNEL_MODULES=(drivers/virtio/virtio_ring drivers/virtio/virtio drivers/virtio/virtio_pci_modern_dev
                drivers/virtio/virtio_pci_legacy_dev drivers/virtio/virtio_pci net/9p/9pnet net/9p/9pnet_virtio
                fs/netfs/netfs fs/fscache/fscache fs/9p/9p fs/overlayfs/overlay
                drivers/hid/hid drivers/hid/uhid drivers/hid/hid-generic)

# read_mode "$@": mode is check or self-check (from the command line), start
# the time the check began.
read_mode() {
  mode=check
  case "${1:-}" in
    "") ;;
    --self-check) mode=self-check ;;
    *) echo "usage: $0 [--self-check]" >&2; exit 2 ;;
  esac
  start=$(date +%s)
}

skip() { echo "$LABEL check skipped: $*"; exit 0; }
say() { echo "$LABEL: $*"; }

busybox_static() { [ -x /bin/busybox ] && ! ldd /bin/busybox >/dev/null 2>&1; }

# install_tools <why not as non-root> <why on failure> <package>...: installs
# the packages, or skips the check.
install_tools() {
  local not_root=$1 failed=$2
  shift 2
  [ "$(id -u)" = 0 ] || skip "$not_root"
  bash "$ROOT/scripts/setup.sh" "$@" >/dev/null 2>&1 || skip "$failed"
}

# The cache holds vmlinuz, the modules the kernel does not have built in,
# the package's name and the list of modules it was unpacked for.
fetch_kernel() {
  local package tmp deb m ko
  package=$(apt-cache depends linux-image-amd64 2>/dev/null | awk '/Depends: linux-image-[0-9]/ { print $2; exit }' || true)
  if [ -z "$package" ] && [ "$(id -u)" = 0 ]; then
    apt-get update -qq >/dev/null 2>&1 || true
    package=$(apt-cache depends linux-image-amd64 2>/dev/null | awk '/Depends: linux-image-[0-9]/ { print $2; exit }' || true)
  fi
  [ -n "$package" ] || skip "apt knows no linux-image-amd64 kernel package"
  tmp=$CACHE/download
  rm -rf "$tmp" "$KERNEL"
  mkdir -p "$tmp/unpacked" "$KERNEL"
  say "downloading $package"
  (cd "$tmp" && apt-get download "$package" >/dev/null 2>&1) || skip "could not download $package"
  deb=$(ls "$tmp"/*.deb)
  local patterns=('*boot/vmlinuz-*')
  for m in "${KERNEL_MODULES[@]}"; do patterns+=("*/kernel/$m.ko*"); done
  dpkg-deb --fsys-tarfile "$deb" | tar -x -C "$tmp/unpacked" --wildcards --wildcards-match-slash "${patterns[@]}"
  cp "$(find "$tmp/unpacked" -path '*boot/vmlinuz-*' | head -n 1)" "$KERNEL/vmlinuz"
  for m in "${KERNEL_MODULES[@]}"; do
    ko=$(find "$tmp/unpacked" -path "*/kernel/$m.ko*" | head -n 1)
    [ -n "$ko" ] || continue   # built into this kernel
    case "$ko" in
      *.xz) xz -dc "$ko" >"$KERNEL/$(basename "$m").ko" ;;
      *.zst) zstd -qdc "$ko" >"$KERNEL/$(basename "$m").ko" ;;
      *) cp "$ko" "$KERNEL/$(basename "$m").ko" ;;
    esac
  done
  echo "$package" >"$KERNEL/package"
  printf '%s\n' "${KERNEL_MODULES[@]}" >"$KERNEL/modules"
  rm -rf "$tmp"
}

# Fetches the kernel unless the cache has it with the same module list.
ensure_kernel() {
  if [ -f "$KERNEL/package" ] && [ -f "$KERNEL/vmlinuz" ] &&
     [ "$(cat "$KERNEL/modules" 2>/dev/null)" = "$(printf '%s\n' "${KERNEL_MODULES[@]}")" ]; then
    return 0
  fi
  fetch_kernel
}

# copy_modules <rootfs> <name>...: puts the cached modules among the names
# (the others are built in) into <rootfs>/lib/modules, listed in load order
# in lib/modules/order.
copy_modules() {
  local rootfs=$1 m
  shift
  for m in "$@"; do
    [ -f "$KERNEL/$m.ko" ] && cp "$KERNEL/$m.ko" "$rootfs/lib/modules/" && echo "$m" >>"$rootfs/lib/modules/order"
  done
  return 0
}

# pack_initramfs <rootfs> <cpio>
pack_initramfs() {
  (cd "$1" && find . | busybox cpio -o -H newc -R 0:0 2>/dev/null) >"$2"
}

# boot_qemu <limit s> <initramfs> <serial log> <qemu log> <qemu args>...:
# boots the cached kernel; the guest ends qemu through isa-debug-exit (1 for
# pass, 3 for fail). Sets verdict to pass, fail or "none (...)" and leaves
# the serial log without carriage returns in <serial log>.txt.
boot_qemu() {
  local limit=$1 initramfs=$2 log=$3 qemu_log=$4 rc=0
  shift 4
  rm -f "$log" "$log.txt"
  timeout "$limit" qemu-system-x86_64 -accel tcg -smp 1 -nographic -no-reboot \
    -kernel "$KERNEL/vmlinuz" -initrd "$initramfs" "$@" \
    -device isa-debug-exit,iobase=0xf4,iosize=0x04 -nic none -monitor none -serial "file:$log" -display none \
    >"$qemu_log" 2>&1 || rc=$?
  tr -d '\r' <"$log" >"$log.txt" 2>/dev/null || true
  case $rc in
    1) verdict=pass ;;
    3) verdict=fail ;;
    124) verdict="none (no verdict within $limit s)" ;;
    *) verdict="none (qemu ended with $rc; see $qemu_log)" ;;
  esac
}
