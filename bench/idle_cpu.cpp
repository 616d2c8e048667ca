// Idle cost: with all five panels attached and silent, the plug-in's threads
// block in their reads and refresh sleeps. Measures the process's CPU time
// over a wall-clock span, first with no flight loops (the plug-in's own
// threads only), then with the host's 20 Hz flight loop running.
//
//   drovanel_idle_cpu [seconds]     default 30; exits 1 above 0.5 % of a core
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "hostsim/hostsim.h"
#include "hostsim/panels/multipanel.h"
#include "hostsim/panels/radiopanel.h"
#include "hostsim/panels/switchpanel.h"
#include "tests/soak/five_panels.h"

namespace {

constexpr double kLimitPercent = 0.5;

double processCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double percentOfCore(double cpu, double wall) { return 100.0 * cpu / wall; }

}  // namespace

int main(int argc, char **argv) {
    using namespace drovanel;
    const double seconds = argc > 1 ? std::atof(argv[1]) : 30.0;
    if (seconds <= 0) {
        std::fprintf(stderr, "usage: %s [seconds]\n", argv[0]);
        return 2;
    }
    const int lenses = soak::startFivePanels();
    // One live report each, so that every reader has finished its start-up
    // replay and sits in a blocked read, as with a real panel at rest.
    hostsim::queueInput(soak::kMultiDevice, hostsim::multipanel::selectorReport(hostsim::multipanel::Selector::Alt));
    hostsim::queueInput(soak::kSwitchDevice, hostsim::switchpanel::inputReport({}));
    for (int device : {soak::kRadio1Device, soak::kRadio2Device}) {
        hostsim::queueInput(device, hostsim::radiopanel::inputReport(hostsim::radiopanel::Selector::Com1,
                                                                     hostsim::radiopanel::Selector::Nav1));
    }
    soak::flightLoop();
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    const long featuresBefore = static_cast<long>(hostsim::featureReports(soak::kMultiDevice).size());

    const auto span = std::chrono::duration<double>(seconds);
    double cpu0 = processCpuSeconds();
    auto wall0 = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(span);
    const double threadsOnly = percentOfCore(
        processCpuSeconds() - cpu0, std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count());
    const long multiReports = static_cast<long>(hostsim::featureReports(soak::kMultiDevice).size()) - featuresBefore;

    cpu0 = processCpuSeconds();
    wall0 = std::chrono::steady_clock::now();
    auto next = wall0;
    long loops = 0;
    while (std::chrono::steady_clock::now() - wall0 < span) {
        soak::flightLoop();
        if ((++loops & 255) == 0) hostsim::clearLog();
        next += std::chrono::milliseconds(50);
        std::this_thread::sleep_until(next);
    }
    const double withLoop = percentOfCore(
        processCpuSeconds() - cpu0, std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count());
    soak::stopPlugin();

    std::printf("idle: %d lenses bound, %ld Multi Panel reports written in %.0f s\n", lenses, multiReports, seconds);
    std::printf("idle: plug-in threads only:      %.3f %% of one core over %.0f s\n", threadsOnly, seconds);
    std::printf("idle: with the 20 Hz flight loop: %.3f %% of one core over %.0f s (%ld loops)\n", withLoop,
                seconds, loops);
    if (threadsOnly >= kLimitPercent) {
        std::printf("idle: FAIL: the threads use more than %.1f %% of a core\n", kLimitPercent);
        return 1;
    }
    return 0;
}
