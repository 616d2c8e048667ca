# Shared by the README's commands: the packages every build needs.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BASE_PACKAGES=(cmake make g++ libgtest-dev dpkg-dev ca-certificates)

setup_base() {
  bash "$ROOT/scripts/setup.sh" "${BASE_PACKAGES[@]}"
  sh "$ROOT/scripts/setup-tinyxml.sh" "$ROOT/build/_deps/tinyxml" >/dev/null
}

build_preset() {
  local preset=$1
  cmake --preset "$preset" -S "$ROOT" >/dev/null
  cmake --build --preset "$preset"
}
