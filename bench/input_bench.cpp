// The input path: a panel's reports from the device through the reader
// thread and the event queue to handleEvent at the next flight loop.
//
// The queue holds 31 four-byte reports between two drains, so at the host's
// 50 ms flight loop a panel can deliver at most 620 reports per second
// without a drop; these benchmarks show that handleEvent keeps up with a
// full queue per loop and how long a report waits before it takes effect.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

#include "bench_session.h"
#include "hostsim/hostsim.h"
#include "hostsim/panels/multipanel.h"
#include "hostsim/panels/radiopanel.h"
#include "hostsim/panels/switchpanel.h"
#include "plugin/plugin_core.h"
#include "tests/soak/five_panels.h"

namespace drovanel {
namespace bench {
namespace {

constexpr int kFullQueue = 31;

struct Lane {
    int device;
    PanelSlot slot;
    const char *name;
};
const Lane kLanes[] = {{soak::kMultiDevice, PanelSlot::Multipanel, "Multi Panel"},
                       {soak::kSwitchDevice, PanelSlot::Switchpanel, "Switch Panel"},
                       {soak::kRadio1Device, PanelSlot::Radiopanel1, "Radio Panel 1"}};

// Two reports that alternate so that every one changes something: an
// encoder notch and the knob at rest, a switch on and off.
std::vector<std::vector<std::uint8_t>> alternatingReports(int lane) {
    using namespace hostsim;
    switch (lane) {
        case 0:
            return {multipanel::encoderReport(multipanel::Selector::Hdg, multipanel::Encoder::Up),
                    multipanel::selectorReport(multipanel::Selector::Hdg)};
        case 1: {
            switchpanel::Switches on;
            on.battery = true;
            return {switchpanel::inputReport(on), switchpanel::inputReport(switchpanel::Switches{})};
        }
        default:
            return {radiopanel::inputReport(radiopanel::Selector::Com1, radiopanel::Selector::Nav1,
                                             radiopanel::kUpperFineUp),
                    radiopanel::inputReport(radiopanel::Selector::Com1, radiopanel::Selector::Nav1)};
    }
}

void waitUntilQueued(AbstractPanel *panel, std::uint32_t count) {
    while (panel->queuedEvents() < count) std::this_thread::yield();
}

// handleEvent over a full queue: 31 reports pushed, then one drain.
void BM_DrainFullQueue(benchmark::State &state) {
    const int lane = static_cast<int>(state.range(0));
    AbstractPanel *panel = panelInSlot(kLanes[lane].slot);
    const auto reports = alternatingReports(lane);
    state.SetLabel(kLanes[lane].name);
    std::int64_t n = 0;
    for (auto _ : state) {
        for (int i = 0; i < kFullQueue; ++i) {
            const auto &report = reports[i & 1];
            panel->pushEvent(report.data(), static_cast<std::uint32_t>(report.size()), 0);
        }
        panel->drainEvents();
        if ((++n & 31) == 0) {
            state.PauseTiming();
            trimHostRecords();
            state.ResumeTiming();
        }
    }
    state.SetItemsProcessed(state.iterations() * kFullQueue);
}
BENCHMARK(BM_DrainFullQueue)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

// End to end at full rate: 31 reports arrive at the device, the reader
// queues them all (none dropped), and one flight loop applies them.
void BM_FullQueuePerFlightLoop(benchmark::State &state) {
    const int lane = static_cast<int>(state.range(0));
    AbstractPanel *panel = panelInSlot(kLanes[lane].slot);
    const auto reports = alternatingReports(lane);
    state.SetLabel(kLanes[lane].name);
    std::int64_t dropped = 0;
    std::int64_t n = 0;
    soak::flightLoop();
    for (auto _ : state) {
        for (int i = 0; i < kFullQueue; ++i) hostsim::queueInput(kLanes[lane].device, reports[i & 1]);
        while (hostsim::pendingInput(kLanes[lane].device) > 0) std::this_thread::yield();
        waitUntilQueued(panel, kFullQueue);
        if (panel->queuedEvents() != kFullQueue) ++dropped;
        soak::flightLoop();
        if ((++n & 31) == 0) {
            state.PauseTiming();
            trimHostRecords();
            state.ResumeTiming();
        }
    }
    state.SetItemsProcessed(state.iterations() * kFullQueue);
    state.counters["dropped_batches"] = static_cast<double>(dropped);
}
BENCHMARK(BM_FullQueuePerFlightLoop)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond)->UseRealTime();

// From a report's arrival at the device to its effect in the host: the
// reader's hand-off to the queue, then the flight loop that applies it. In
// the simulator the report also waits for the next flight loop, at most one
// 50 ms period, which this figure leaves out.
void BM_ReportToEffect(benchmark::State &state) {
    const int lane = static_cast<int>(state.range(0));
    AbstractPanel *panel = panelInSlot(kLanes[lane].slot);
    const auto reports = alternatingReports(lane);
    state.SetLabel(kLanes[lane].name);
    soak::flightLoop();
    trimHostRecords();
    double handoff = 0;
    std::int64_t effects = 0;
    std::int64_t n = 0;
    for (auto _ : state) {
        const std::size_t before = hostsim::datarefWrites().size() + hostsim::commandJournal().size();
        const auto t0 = std::chrono::steady_clock::now();
        hostsim::queueInput(kLanes[lane].device, reports[n & 1]);
        waitUntilQueued(panel, 1);
        const auto t1 = std::chrono::steady_clock::now();
        soak::flightLoop();
        const auto t2 = std::chrono::steady_clock::now();
        if (hostsim::datarefWrites().size() + hostsim::commandJournal().size() > before) ++effects;
        handoff += std::chrono::duration<double>(t1 - t0).count();
        state.SetIterationTime(std::chrono::duration<double>(t2 - t0).count());
        if ((++n & 63) == 0) trimHostRecords();
    }
    state.counters["handoff_us"] = benchmark::Counter(handoff * 1e6 / static_cast<double>(state.iterations()));
    state.counters["effect_ratio"] =
        benchmark::Counter(static_cast<double>(effects) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_ReportToEffect)->DenseRange(0, 2)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace bench
}  // namespace drovanel
