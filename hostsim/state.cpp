// The host's state, reset() and the simulator-thread check.
#include "hostsim/state.h"

#include <utility>

namespace hostsim {
namespace detail {

State &state() {
    static State *s = [] {
        State *fresh = new State;
        fresh->simThread = std::this_thread::get_id();
        fresh->pluginNames.push_back("X-Plane");
        return fresh;
    }();
    return *s;
}

SdkCall::SdkCall(const char *name) : lock(state().mu), s(state()) {
    if (std::this_thread::get_id() != s.simThread) {
        s.offThreadCalls.push_back(name);
    }
}

void copyText(const std::string &text, char *buffer, std::size_t capacity) {
    if (buffer == nullptr || capacity == 0) {
        return;
    }
    std::size_t n = text.size() < capacity - 1 ? text.size() : capacity - 1;
    text.copy(buffer, n);
    buffer[n] = '\0';
}

}  // namespace detail

using detail::State;

void reset() {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    s.simThread = std::this_thread::get_id();
    s.offThreadCalls.clear();

    detail::resetDatarefValues(s);
    s.datarefWrites.clear();
    s.hiddenCommands.clear();
    s.journal.clear();
    s.nullCommandFaults = 0;
    s.log.clear();

    s.pluginsMenu.reset();
    s.menus.clear();
    s.flightLoops.clear();
    s.lastInterval = 0.0f;
    s.flightLoopCounter = 0;
    s.pluginNames.assign(1, "X-Plane");

    s.widgets.clear();
    s.destroyedWidgets.clear();
    s.frontRoot = nullptr;

    // Every blocked read returns 0 and every old handle becomes unknown, so
    // no plug-in thread is left waiting on a device that no longer exists.
    for (auto &entry : s.handles) {
        entry.second->cancelled = true;
    }
    for (auto &device : s.devices) {
        device->attached = false;
    }
    s.handles.clear();
    s.devices.clear();
    s.vhidChanged.notify_all();

    detail::resetPrefsFolder(s);
    detail::resetAircraft(s);
}

std::vector<std::string> offThreadCalls() {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    return s.offThreadCalls;
}

}  // namespace hostsim
