// Shared pieces of the binding tests: the recording device and journal
// lines of the driver tests, and the simulator versions the tests run under.
#ifndef DROVANEL_TESTS_BINDINGS_BINDINGS_SUPPORT_H
#define DROVANEL_TESTS_BINDINGS_BINDINGS_SUPPORT_H

#include <cstdint>
#include <string>
#include <vector>

#include "hostsim/hostsim.h"
#include "tests/recording_device.h"

namespace drovanel {
namespace bindings {

using Bytes = std::vector<std::uint8_t>;

using testing_devices::RecordingDevice;

constexpr hostsim::SimulatorVersion kVersions[] = {hostsim::SimulatorVersion::XPlane1140,
                                                   hostsim::SimulatorVersion::XPlane12};

inline std::string versionTestName(const testing::TestParamInfo<hostsim::SimulatorVersion> &info) {
    return info.param == hostsim::SimulatorVersion::XPlane1140 ? "XPlane1140" : "XPlane12";
}

using testing_devices::journalLines;

// "PATH[INDEX]=VALUE" for each dataref write so far (values as ints).
inline std::vector<std::string> writeLines() {
    std::vector<std::string> lines;
    for (const hostsim::DatarefWrite &w : hostsim::datarefWrites()) {
        lines.push_back(w.path + "[" + std::to_string(w.index) + "]=" + std::to_string(static_cast<int>(w.value)));
    }
    return lines;
}

}  // namespace bindings
}  // namespace drovanel

#endif
