# Options for the benchmarks (bench/) and the fuzz targets (fuzz/).
#
# DROVANEL_BENCHMARKS: Google Benchmark programs; off by default, turned on
#   by scripts/bench.sh (a Release build of its own).
# DROVANEL_FUZZ: one program per fuzz target. With the normal compiler each
#   replays its seed corpus (a CTest); with clang and DROVANEL_LIBFUZZER=ON
#   they are libFuzzer programs (scripts/fuzz.sh).
option(DROVANEL_BENCHMARKS "Build the benchmarks (needs libbenchmark-dev)" OFF)
option(DROVANEL_FUZZ "Build the fuzz targets and their corpus-replay tests" ON)
option(DROVANEL_LIBFUZZER "Link the fuzz targets with libFuzzer (clang only)" OFF)

if(WIN32)
  # The corpus replays and benchmarks run natively only.
  set(DROVANEL_BENCHMARKS OFF)
  set(DROVANEL_FUZZ OFF)
endif()
if(DROVANEL_LIBFUZZER AND NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "DROVANEL_LIBFUZZER needs clang (CC=clang CXX=clang++)")
endif()
