#!/usr/bin/env bash
# Lays out the folder that users copy into X-Plane's Resources/plugins:
#
#   Drovanel/64/win.xpl  Drovanel/64/lin.xpl  Drovanel/32/win.xpl
#   Drovanel/bip-sample.xml  Drovanel/layouts/*.xml  Drovanel/profiles/*.xml
#   Drovanel/tools/linux/drovanel-check  Drovanel/tools/windows/drovanel-check.exe
#   Drovanel/60-drovanel.rules  Drovanel/README.txt  Drovanel/README-linux.txt
#
# and zips it. Builds the three plug-in files and the two checkers first
# (presets linux, win64, win32; only those targets), unless --no-build is
# given, in which case they must already be built.
#
# Usage: scripts/package.sh [--no-build] [OUTPUT_FOLDER]   (default build/package)
# With --no-build, DROVANEL_LINUX_BUILD, DROVANEL_WIN64_BUILD and
# DROVANEL_WIN32_BUILD may name other build folders.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

build=1
if [ "${1:-}" = "--no-build" ]; then
  build=0
  shift
fi
out=${1:-$ROOT/build/package}
version=$(sed -n 's/^project(Drovanel VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")

# The presets' build folders; with --no-build others may be named.
linux_build=${DROVANEL_LINUX_BUILD:-$ROOT/build/linux}
win64_build=${DROVANEL_WIN64_BUILD:-$ROOT/build/win64}
win32_build=${DROVANEL_WIN32_BUILD:-$ROOT/build/win32}

# preset, plug-in target, built file, place in the package, strip tool
files=(
  "linux Drovanel64 $linux_build/lin.xpl 64/lin.xpl strip"
  "win64 Drovanel64 $win64_build/plugin/win.xpl 64/win.xpl x86_64-w64-mingw32-strip"
  "win32 Drovanel $win32_build/plugin/win.xpl 32/win.xpl i686-w64-mingw32-strip"
  "linux drovanel-check $linux_build/tools/check/drovanel-check tools/linux/drovanel-check strip"
  "win64 drovanel-check $win64_build/bin/drovanel-check.exe tools/windows/drovanel-check.exe x86_64-w64-mingw32-strip"
)

if [ "$build" = 1 ]; then
  for entry in "${files[@]}"; do
    read -r preset target _ <<<"$entry"
    echo "=== $preset: $target"
    cmake --preset "$preset" -S "$ROOT" >/dev/null
    cmake --build --preset "$preset" --target "$target"
  done
fi

package=$out/Drovanel
rm -rf "$package"
mkdir -p "$package/64" "$package/32" "$package/tools/linux" "$package/tools/windows"
for entry in "${files[@]}"; do
  read -r _ _ built place strip_tool <<<"$entry"
  if [ ! -f "$built" ]; then
    echo "package: $built is missing (build it, or run without --no-build)" >&2
    exit 1
  fi
  # Symbols and debug information stay in the build folder.
  "$strip_tool" --strip-all -o "$package/$place" "$built"
done
cp "$ROOT/packaging/bip-sample.xml" "$package/bip-sample.xml"
mkdir -p "$package/layouts"
cp "$ROOT"/packaging/layouts/*.xml "$package/layouts/"
# Beside 64/ and 32/, where the plug-in looks for them.
mkdir -p "$package/profiles"
cp "$ROOT"/packaging/profiles/*.xml "$package/profiles/"
cp "$ROOT/packaging/linux/60-drovanel.rules" "$package/60-drovanel.rules"
cp "$ROOT/packaging/linux/README.txt" "$package/README-linux.txt"
cp "$ROOT/packaging/README-users.txt" "$package/README.txt"

archive=$out/Drovanel-$version.zip
rm -f "$archive"
(cd "$out" && cmake -E tar cf "$archive" --format=zip Drovanel)
echo "package: $package"
echo "package: $archive"
