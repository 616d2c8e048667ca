// The cost of one flight-loop callback with all five panels attached and
// silent: every driver's update (the Multi and Radio Panels and the Switch
// Panel cache their datarefs, the BIP evaluates its 24 lens bindings). The
// host simulator's own dataref lookups are part of the figure.
#include <benchmark/benchmark.h>

#include "bench_session.h"
#include "tests/soak/five_panels.h"

namespace drovanel {
namespace bench {
namespace {

void BM_FlightLoop(benchmark::State &state) {
    const bool x737 = state.range(0) != 0;
    if (x737) {
        soak::x737Arrives();
    } else {
        soak::x737Leaves();
    }
    state.SetLabel(x737 ? "x737 present" : "x737 absent");
    std::int64_t n = 0;
    for (auto _ : state) {
        soak::flightLoop();
        // The 64-bit build traces each call into the host's log.
        if ((++n & 1023) == 0) {
            state.PauseTiming();
            trimHostRecords();
            state.ResumeTiming();
        }
    }
    state.counters["lenses"] = boundLenses();
}
BENCHMARK(BM_FlightLoop)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace bench
}  // namespace drovanel
