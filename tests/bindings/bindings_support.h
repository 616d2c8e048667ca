// Shared pieces of the binding tests: a device that keeps the feature
// reports written to it, and the simulator versions the tests run under.
#ifndef DROVANEL_TESTS_BINDINGS_BINDINGS_SUPPORT_H
#define DROVANEL_TESTS_BINDINGS_BINDINGS_SUPPORT_H

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "hid/hid_device.h"
#include "hostsim/hostsim.h"

namespace drovanel {
namespace bindings {

using Bytes = std::vector<std::uint8_t>;

// No input; every feature report accepted and kept. The tests call the
// drivers' operations themselves, so no thread reads it.
class RecordingDevice : public HidDevice {
public:
    int read(std::uint8_t *, int, const wchar_t *) override { return kReadCancelled; }
    void cancel() override {}
    bool setFeature(const std::uint8_t *buffer, int size) override {
        std::lock_guard<std::mutex> lock(lock_);
        written_.emplace_back(buffer, buffer + size);
        return true;
    }
    bool getFeature(std::uint8_t *, int) override { return false; }
    Bytes latest() {
        std::lock_guard<std::mutex> lock(lock_);
        return written_.empty() ? Bytes() : written_.back();
    }

private:
    std::mutex lock_;
    std::vector<Bytes> written_;
};

constexpr hostsim::SimulatorVersion kVersions[] = {hostsim::SimulatorVersion::XPlane1140,
                                                   hostsim::SimulatorVersion::XPlane12};

inline std::string versionTestName(const testing::TestParamInfo<hostsim::SimulatorVersion> &info) {
    return info.param == hostsim::SimulatorVersion::XPlane1140 ? "XPlane1140" : "XPlane12";
}

// "once PATH", "begin PATH", "end PATH" for each command call so far.
inline std::vector<std::string> journalLines() {
    std::vector<std::string> lines;
    for (const hostsim::CommandCall &call : hostsim::commandJournal()) {
        const char *phase = call.phase == hostsim::CommandPhase::Once    ? "once "
                            : call.phase == hostsim::CommandPhase::Begin ? "begin "
                                                                         : "end ";
        lines.push_back(phase + call.path);
    }
    return lines;
}

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
