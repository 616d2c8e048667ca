#!/usr/bin/env bash
# Builds the benchmarks (Release) and runs them: the flight-loop cost with
# all five panels, the input path, the longest call that holds the
# simulator thread (enable, flight loop, aircraft load, menu toggle,
# disable), then the idle cost of the plug-in's threads over 30 s. The allocation count is a test (tests/soak,
# allocation_test) and runs here too.
#
# Usage: bash scripts/bench.sh [idle seconds, default 30]
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
setup_base
bash "$ROOT/scripts/setup.sh" libbenchmark-dev

idle=${1:-30}
build=${DROVANEL_BENCH_BUILD_DIR:-$ROOT/build/bench}
cmake -S "$ROOT" -B "$build" -DCMAKE_BUILD_TYPE=Release -DDROVANEL_BENCHMARKS=ON >/dev/null
cmake --build "$build" -j2 --target drovanel_bench drovanel_idle_cpu allocation_test

echo "=== flight loop, input path and the longest simulator-thread call"
"$build/bench/drovanel_bench" --benchmark_repetitions=10 --benchmark_report_aggregates_only=true \
  --benchmark_min_time=0.2 | grep -v '^feature set$'
echo "=== allocations once running"
"$build/tests/soak/allocation_test" | grep -E '^allocations:|PASSED|FAILED'
echo "=== idle cost"
"$build/bench/drovanel_idle_cpu" "$idle"
