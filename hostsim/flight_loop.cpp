// Flight-loop callbacks and the host's loop that runs them.
#include "XPLMProcessing.h"
#include "hostsim/state.h"

namespace hostsim {

using detail::FlightLoop;
using detail::State;

namespace {

// The simulator's period between two flight loops in this model.
constexpr float kLoopSeconds = 0.05f;

FlightLoop *findLoop(State &s, XPLMFlightLoop_f callback, void *refcon) {
    for (FlightLoop &loop : s.flightLoops) {
        if (loop.callback == callback && loop.refcon == refcon) {
            return &loop;
        }
    }
    return nullptr;
}

}  // namespace

bool flightLoopRegistered() {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    return !s.flightLoops.empty();
}

int flightLoopCount() {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    return static_cast<int>(s.flightLoops.size());
}

// A callback that returned 0 is not called again until registered anew, as
// in the real host; one unregistered by an earlier callback of the same loop
// is skipped.
void runFlightLoops(int n) {
    State &s = detail::state();
    for (int i = 0; i < n; ++i) {
        std::vector<FlightLoop> due;
        {
            std::lock_guard<std::mutex> lock(s.mu);
            due = s.flightLoops;
        }
        for (std::size_t k = 0; k < due.size(); ++k) {
            int counter = 0;
            {
                std::lock_guard<std::mutex> lock(s.mu);
                FlightLoop *loop = findLoop(s, due[k].callback, due[k].refcon);
                if (loop == nullptr || loop->interval == 0.0f) {
                    continue;
                }
                counter = ++s.flightLoopCounter;
            }
            float next = 0.0f;
            {
                TimedCall timed(CallKind::FlightLoop);
                next = due[k].callback(kLoopSeconds, kLoopSeconds, counter, due[k].refcon);
            }
            std::lock_guard<std::mutex> lock(s.mu);
            s.lastInterval = next;
            if (FlightLoop *loop = findLoop(s, due[k].callback, due[k].refcon)) {
                loop->interval = next;
            }
        }
    }
}

float lastFlightLoopInterval() {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    return s.lastInterval;
}

}  // namespace hostsim

using hostsim::detail::SdkCall;

extern "C" {

// Registering the same callback and refcon twice keeps both entries, so a
// plug-in that does it is called twice per loop and flightLoopCount() shows it.
void XPLMRegisterFlightLoopCallback(XPLMFlightLoop_f inFlightLoop, float inInterval, void *inRefcon) {
    SdkCall call("XPLMRegisterFlightLoopCallback");
    if (inFlightLoop != nullptr) {
        call.s.flightLoops.push_back({inFlightLoop, inRefcon, inInterval});
    }
}

void XPLMUnregisterFlightLoopCallback(XPLMFlightLoop_f inFlightLoop, void *inRefcon) {
    SdkCall call("XPLMUnregisterFlightLoopCallback");
    auto &loops = call.s.flightLoops;
    for (auto it = loops.begin(); it != loops.end();) {
        it = it->callback == inFlightLoop && it->refcon == inRefcon ? loops.erase(it) : it + 1;
    }
}

}  // extern "C"
