// The host's state, reset() and the simulator-thread check.
#include "hostsim/state.h"

#include <string_view>
#include <utility>

namespace hostsim {
namespace detail {

State &state() {
    static State *s = [] {
        State *fresh = new State;
        fresh->simThread = std::this_thread::get_id();
        fresh->pluginNames.push_back("X-Plane");
        registerSimulatorDatarefs(*fresh);
        registerAircraftDatarefs(*fresh);
        applySimulatorVersion(*fresh);
        return fresh;
    }();
    return *s;
}

SdkCall::SdkCall(const char *name) : lock(state().mu), s(state()) {
    if (std::this_thread::get_id() != s.simThread) {
        s.offThreadCalls.push_back(name);
    }
}

void noteAsked(std::set<std::string, std::less<>> &asked, const char *name) {
    if (asked.find(std::string_view(name)) == asked.end()) asked.emplace(name);
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
    for (detail::CallRecord &record : s.callRecords) record = detail::CallRecord{};

    s.version = SimulatorVersion::XPlane12;
    detail::resetDatarefValues(s);
    detail::applySimulatorVersion(s);
    s.datarefsAsked.clear();
    s.commandsAsked.clear();
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
    s.replug = Replug::NewPath;
    s.failListings = 0;
    s.listingCalls = 0;
    s.simThreadDeviceCalls = 0;
    s.listChangeAfter = -1;
    s.listChange = nullptr;
    s.vhidChanged.notify_all();

    detail::resetPrefsFolder(s);
    detail::resetAircraft(s);
}

void setSimulatorVersion(SimulatorVersion version) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    s.version = version;
    detail::applySimulatorVersion(s);
}

SimulatorVersion simulatorVersion() {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    return s.version;
}

std::vector<NameAsked> namesAsked() {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    std::vector<NameAsked> names;
    for (const std::string &name : s.datarefsAsked) names.push_back({false, name});
    for (const std::string &name : s.commandsAsked) names.push_back({true, name});
    return names;
}

void clearNamesAsked() {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    s.datarefsAsked.clear();
    s.commandsAsked.clear();
}

std::vector<std::string> offThreadCalls() {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    return s.offThreadCalls;
}

}  // namespace hostsim
