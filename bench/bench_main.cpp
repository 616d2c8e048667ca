// Runs the benchmarks against one plug-in session with all five panels.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "bench_session.h"
#include "hostsim/hostsim.h"
#include "hostsim/panels/multipanel.h"
#include "hostsim/panels/radiopanel.h"
#include "hostsim/panels/switchpanel.h"
#include "tests/soak/five_panels.h"

namespace drovanel {
namespace bench {

namespace {
int lensesBound = 0;
}

int boundLenses() { return lensesBound; }

void trimHostRecords() {
    hostsim::clearLog();
    hostsim::clearDatarefWrites();
    hostsim::clearCommandJournal();
}

// One live report per input panel ends the start-up replays, which would
// otherwise slip into the benchmarks' queues every refresh period.
void endStartupReplays() {
    hostsim::queueInput(soak::kMultiDevice, hostsim::multipanel::selectorReport(hostsim::multipanel::Selector::Hdg));
    hostsim::queueInput(soak::kSwitchDevice, hostsim::switchpanel::inputReport({}));
    for (int device : {soak::kRadio1Device, soak::kRadio2Device}) {
        hostsim::queueInput(device, hostsim::radiopanel::inputReport(hostsim::radiopanel::Selector::Com1,
                                                                     hostsim::radiopanel::Selector::Nav1));
    }
    for (int device : {soak::kMultiDevice, soak::kSwitchDevice, soak::kRadio1Device, soak::kRadio2Device}) {
        while (hostsim::pendingInput(device) > 0) std::this_thread::yield();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    soak::flightLoop();
    trimHostRecords();
}

}  // namespace bench
}  // namespace drovanel

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    drovanel::bench::lensesBound = drovanel::soak::startFivePanels();
    drovanel::bench::endStartupReplays();
    benchmark::AddCustomContext("bound BIP lenses", std::to_string(drovanel::bench::lensesBound));
    benchmark::RunSpecifiedBenchmarks();
    // The benchmarks must have run on the host's simulator thread, as the
    // plug-in's callbacks do.
    const auto offThread = hostsim::offThreadCalls();
    drovanel::soak::stopPlugin();
    benchmark::Shutdown();
    if (!offThread.empty()) {
        std::fprintf(stderr, "off-thread host calls: %zu (first: %s)\n", offThread.size(), offThread[0].c_str());
        return 1;
    }
    return 0;
}
