// How long the plug-in holds the simulator thread: the longest single call
// into it, per kind, with all five panels. Each iteration is one stretch of
// a pilot's session: disable and enable, flight loops with input on every
// input panel, an aircraft load, the "Ignore Switchpanel" item picked twice
// (off and back on), with flight loops between. The host times every call
// it makes into the plug-in (hostsim::callTimes); the counters are the
// longest of each kind in milliseconds, and the "max" rows the longest over
// the repetitions. The Multi Panel's start-up pause is its real 500 ms here.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

#include "bench_session.h"
#include "hostsim/hostsim.h"
#include "hostsim/panels/multipanel.h"
#include "hostsim/panels/radiopanel.h"
#include "hostsim/panels/switchpanel.h"
#include "multipanel/multipanel.h"
#include "plugin/plugin_core.h"
#include "tests/soak/five_panels.h"

namespace drovanel {
namespace bench {
namespace {

constexpr std::uint32_t kRealStartupWait = 500;
constexpr int kLoopsPerStretch = 20;
// Between two flight loops; the simulator's own period is 50 ms, shortened so
// that a repetition stays short while every loop still finds fresh input.
constexpr auto kBetweenLoops = std::chrono::milliseconds(10);

using Report = std::vector<std::uint8_t>;

struct InputLane {
    int device;
    Report turned;  // changes something in the simulator
    Report rest;
};

std::vector<InputLane> inputLanes() {
    namespace mp = hostsim::multipanel;
    namespace rp = hostsim::radiopanel;
    namespace sp = hostsim::switchpanel;
    sp::Switches lights;
    lights.panelLights = true;
    const Report radioTurned = rp::inputReport(rp::Selector::Com1, rp::Selector::Nav1, rp::kUpperFineUp);
    const Report radioRest = rp::inputReport(rp::Selector::Com1, rp::Selector::Nav1);
    return {{soak::kMultiDevice, mp::encoderReport(mp::Selector::Hdg, mp::Encoder::Up),
             mp::selectorReport(mp::Selector::Hdg)},
            {soak::kSwitchDevice, sp::inputReport(lights), sp::inputReport(sp::Switches{})},
            {soak::kRadio1Device, radioTurned, radioRest},
            {soak::kRadio2Device, radioTurned, radioRest}};
}

// Flight loops as the host runs them, each after one report on every input
// panel.
void loopsWithInput(const std::vector<InputLane> &lanes, int loops) {
    for (int i = 0; i < loops; ++i) {
        for (const InputLane &lane : lanes) hostsim::queueInput(lane.device, (i & 1) == 0 ? lane.turned : lane.rest);
        std::this_thread::sleep_for(kBetweenLoops);
        hostsim::runFlightLoops(1);
    }
}

struct Kind {
    hostsim::CallKind kind;
    const char *counter;
};
const Kind kKinds[] = {{hostsim::CallKind::Enable, "enable_ms"},
                       {hostsim::CallKind::FlightLoop, "flight_loop_ms"},
                       {hostsim::CallKind::Message, "aircraft_load_ms"},
                       {hostsim::CallKind::Menu, "menu_toggle_ms"},
                       {hostsim::CallKind::Disable, "disable_ms"}};
constexpr int kKindCount = sizeof(kKinds) / sizeof(kKinds[0]);

void BM_LongestSimulatorThreadCall(benchmark::State &state) {
    const std::vector<InputLane> lanes = inputLanes();
    soak::x737Leaves();
    Multipanel::setStartupWait(kRealStartupWait);
    double longestMs[kKindCount] = {};
    long loops = 0;
    for (auto _ : state) {
        hostsim::clearCallTimes();
        {
            hostsim::TimedCall timed(hostsim::CallKind::Disable);
            pluginDisable();
        }
        {
            hostsim::TimedCall timed(hostsim::CallKind::Enable);
            pluginEnable();
        }
        loopsWithInput(lanes, kLoopsPerStretch);
        hostsim::deliverMessage(pluginReceiveMessage, "X-Plane", 102);
        loopsWithInput(lanes, kLoopsPerStretch);
        hostsim::pickMenuItem("drovanel", "Ignore Switchpanel");
        loopsWithInput(lanes, kLoopsPerStretch);
        hostsim::pickMenuItem("drovanel", "Ignore Switchpanel");
        loopsWithInput(lanes, kLoopsPerStretch);

        for (int k = 0; k < kKindCount; ++k) {
            const hostsim::CallTimes times = hostsim::callTimes(kKinds[k].kind);
            longestMs[k] = std::max(longestMs[k], times.longestSeconds * 1e3);
        }
        loops += hostsim::callTimes(hostsim::CallKind::FlightLoop).count;
        state.PauseTiming();
        trimHostRecords();
        state.ResumeTiming();
    }
    Multipanel::setStartupWait(0);
    for (int k = 0; k < kKindCount; ++k) state.counters[kKinds[k].counter] = longestMs[k];
    state.counters["flight_loops"] = static_cast<double>(loops);
    state.counters["switchpanel_ignored"] = ignoreSwitchPanelSet() ? 1 : 0;
}
BENCHMARK(BM_LongestSimulatorThreadCall)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->ComputeStatistics("max", [](const std::vector<double> &v) { return *std::max_element(v.begin(), v.end()); });

// The flight loop that adopts a panel plugged back in, with 30 HID devices
// listed (the five panels and 25 of another maker). Each repetition
// unplugs the second Radio Panel, lets the flight loops tear it down, plugs
// it back in, has the watch list once (outside the timing) and times the
// one flight loop that brings the panel up again.
void BM_AdoptingFlightLoop(benchmark::State &state) {
    constexpr int kOtherDevices = 25;
    std::vector<int> others;
    double longestMs = 0;
    for (int i = 0; i < kOtherDevices; ++i) {
        others.push_back(hostsim::attachDevice(0x046D, static_cast<std::uint16_t>(0xC100 + i)));
    }
    for (auto _ : state) {
        hostsim::detach(soak::kRadio2Device);
        while (panelInSlot(PanelSlot::Radiopanel2) != nullptr) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            hostsim::runFlightLoops(1);
        }
        hostsim::plug(soak::kRadio2Device);
        deviceWatchListNow();
        hostsim::clearCallTimes();
        hostsim::runFlightLoops(1);
        if (panelInSlot(PanelSlot::Radiopanel2) == nullptr) {
            state.SkipWithError("the flight loop did not adopt the panel");
            break;
        }
        const double seconds = hostsim::callTimes(hostsim::CallKind::FlightLoop).longestSeconds;
        longestMs = std::max(longestMs, seconds * 1e3);
        state.SetIterationTime(seconds);
        state.PauseTiming();
        trimHostRecords();
        state.ResumeTiming();
    }
    for (int device : others) hostsim::detach(device);
    state.counters["devices_listed"] = soak::kDeviceCount + kOtherDevices;
    state.counters["longest_ms"] = longestMs;
}
BENCHMARK(BM_AdoptingFlightLoop)
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->ComputeStatistics("max", [](const std::vector<double> &v) { return *std::max_element(v.begin(), v.end()); });

}  // namespace
}  // namespace bench
}  // namespace drovanel
