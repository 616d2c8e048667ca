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

// Arg 0: the default aircraft; 1: the x737 present; 2: the Zibo 737 with a
// profile that binds every control, display and lamp of all five panels.
void BM_FlightLoop(benchmark::State &state) {
    const int mode = static_cast<int>(state.range(0));
    if (mode == 1) {
        soak::x737Arrives();
    } else {
        soak::x737Leaves();
    }
    if (mode == 2 && !soak::loadFullyProfiledAircraft()) state.SkipWithError("the full profile was not bound");
    state.SetLabel(mode == 1 ? "x737 present" : mode == 2 ? "full profile" : "x737 absent");
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
    if (mode == 2) soak::loadPlainAircraft();
}
BENCHMARK(BM_FlightLoop)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace bench
}  // namespace drovanel
