// Commands (the journal of once/begin/end) and the log.
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "XPLMUtilities.h"
#include "hostsim/simulator_names.h"
#include "hostsim/state.h"

namespace hostsim {

using detail::State;

void hideCommand(const std::string &path) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    s.hiddenCommands.insert(path);
}

const std::vector<CommandCall> &commandJournal() { return detail::state().journal; }

void clearCommandJournal() {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    s.journal.clear();
}

int nullCommandFaults() {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    return s.nullCommandFaults;
}

const std::string &log() { return detail::state().log; }

void clearLog() {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    s.log.clear();
}

namespace detail {
namespace {

// The real host forwards a NULL command handle without checking; here it is
// counted instead. Any other handle the host never gave out counts too.
void journal(const char *name, XPLMCommandRef ref, CommandPhase phase) {
    SdkCall call(name);
    for (auto &entry : call.s.commands) {
        if (entry.second.get() == ref) {
            call.s.journal.push_back({phase, entry.first});
            return;
        }
    }
    ++call.s.nullCommandFaults;
}

}  // namespace
}  // namespace detail
}  // namespace hostsim

using hostsim::CommandPhase;
using hostsim::detail::SdkCall;

extern "C" {

void XPLMDebugString(const char *inString) {
    SdkCall call("XPLMDebugString");
    if (inString == nullptr) {
        return;
    }
    call.s.log += inString;
    static const bool echo = std::getenv("DROVANEL_HOSTSIM_ECHO") != nullptr;
    if (echo) {
        std::fputs(inString, stderr);
    }
}

XPLMCommandRef XPLMFindCommand(const char *inName) {
    SdkCall call("XPLMFindCommand");
    if (inName == nullptr) {
        return nullptr;
    }
    hostsim::detail::noteAsked(call.s.commandsAsked, inName);
    if (call.s.hiddenCommands.count(inName) != 0 || hostsim::detail::aircraftCommandHidden(call.s, inName)) {
        return nullptr;
    }
    // The simulator publishes only the commands of its own list.
    if (hostsim::detail::isSimulatorPath(inName) &&
        hostsim::detail::simulatorNames(call.s.version).commands.count(std::string_view(inName)) == 0) {
        return nullptr;
    }
    auto &slot = call.s.commands[inName];
    if (!slot) {
        slot.reset(new hostsim::detail::Command{inName});
    }
    return slot.get();
}

void XPLMCommandOnce(XPLMCommandRef inCommand) {
    hostsim::detail::journal("XPLMCommandOnce", inCommand, CommandPhase::Once);
}

void XPLMCommandBegin(XPLMCommandRef inCommand) {
    hostsim::detail::journal("XPLMCommandBegin", inCommand, CommandPhase::Begin);
}

void XPLMCommandEnd(XPLMCommandRef inCommand) {
    hostsim::detail::journal("XPLMCommandEnd", inCommand, CommandPhase::End);
}

}  // extern "C"
