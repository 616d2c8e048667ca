// The user's aircraft and XPLMGetNthAircraftModel.
#include "XPLMPlanes.h"
#include "hostsim/state.h"

namespace hostsim {
namespace detail {

namespace {

// The buffers XPLMGetNthAircraftModel fills, as the SDK documents them.
constexpr std::size_t kFileNameBufferSize = 256;
constexpr std::size_t kPathBufferSize = 512;

constexpr const char *kDefaultAircraft = "/Aircraft/Trainer/Trainer.acf";

}  // namespace

void resetAircraft(State &s) {
    s.userAircraft = s.prefsFolder + kDefaultAircraft;
    unpublishAircraftNames(s);
    s.pendingAircraft.clear();
}

}  // namespace detail

using detail::State;

void setUserAircraft(const std::string &acfPath, bool publishNow) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    s.userAircraft = acfPath;
    detail::unpublishAircraftNames(s);
    s.pendingAircraft = detail::aircraftFolderFor(acfPath);
    if (publishNow && !s.pendingAircraft.empty()) {
        detail::publishAircraftNamesOf(s, s.pendingAircraft);
        s.pendingAircraft.clear();
    }
}

std::string userAircraft() {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    return s.userAircraft;
}

std::string defaultAircraft() { return prefsFolder() + detail::kDefaultAircraft; }

}  // namespace hostsim

extern "C" {

// Paths longer than the buffers are cut, always terminated.
void XPLMGetNthAircraftModel(int inIndex, char *outFileName, char *outPath) {
    hostsim::detail::SdkCall call("XPLMGetNthAircraftModel");
    std::string path = inIndex == 0 ? call.s.userAircraft : std::string();
    std::size_t slash = path.rfind('/');
    std::string fileName = slash == std::string::npos ? path : path.substr(slash + 1);
    hostsim::detail::copyText(fileName, outFileName, hostsim::detail::kFileNameBufferSize);
    hostsim::detail::copyText(path, outPath, hostsim::detail::kPathBufferSize);
}

}  // extern "C"
