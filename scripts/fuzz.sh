#!/usr/bin/env bash
# Builds the fuzz targets with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each for a while from its seed corpus
# in fuzz/corpus/<target>/ (new inputs go to a scratch corpus, findings to
# the build folder as crash-*/leak-*/timeout-* files).
#
# Usage: bash scripts/fuzz.sh [seconds per target, default 60] [target...]
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
setup_base
bash "$ROOT/scripts/setup.sh" clang libclang-rt-14-dev

seconds=${1:-60}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(bip_config multipanel_events radiopanel_events switchpanel_events settings_file preferences_fields profile)
fi

build=${DROVANEL_FUZZ_BUILD_DIR:-$ROOT/build/fuzz}
CC=clang CXX=clang++ cmake -S "$ROOT" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DDROVANEL_TESTS=OFF -DDROVANEL_SANITIZE=address -DDROVANEL_LIBFUZZER=ON \
  -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link >/dev/null
cmake --build "$build" -j2 --target $(printf 'fuzz_%s ' "${targets[@]}")

failed=0
for target in "${targets[@]}"; do
  scratch="$build/corpus/$target"
  mkdir -p "$scratch" "$build/findings/$target"
  echo "=== $target: ${seconds} s"
  if ! (cd "$build/findings/$target" &&
        "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 -max_len=4096 \
          -timeout=10 -rss_limit_mb=2048 "$scratch" "$ROOT/fuzz/corpus/$target" >/dev/null 2>"$build/fuzz-$target.log"); then
    echo "$target: FINDING, see $build/findings/$target and $build/fuzz-$target.log"
    failed=1
  fi
  grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$build/fuzz-$target.log" | tr '\n' ' '
  echo
done
exit $failed
