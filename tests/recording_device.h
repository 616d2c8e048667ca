// Shared by the driver tests: a device without input that keeps every
// feature report written to it (or refuses them all), and the host's command
// journal as text lines.
#ifndef DROVANEL_TESTS_RECORDING_DEVICE_H
#define DROVANEL_TESTS_RECORDING_DEVICE_H

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "hid/hid_device.h"
#include "hostsim/hostsim.h"

namespace drovanel {
namespace testing_devices {

using Bytes = std::vector<std::uint8_t>;

// The tests drive the driver's operations themselves, so no thread reads it.
class RecordingDevice : public HidDevice {
public:
    explicit RecordingDevice(bool accept = true) : accept_(accept) {}
    int read(std::uint8_t *, int, const wchar_t *) override { return kReadCancelled; }
    void cancel() override {}
    bool setFeature(const std::uint8_t *buffer, int size) override {
        std::lock_guard<std::mutex> lock(lock_);
        written_.emplace_back(buffer, buffer + size);
        return accept_;
    }
    bool getFeature(std::uint8_t *, int) override { return false; }
    std::vector<Bytes> written() {
        std::lock_guard<std::mutex> lock(lock_);
        return written_;
    }
    Bytes latest() {
        std::lock_guard<std::mutex> lock(lock_);
        return written_.empty() ? Bytes() : written_.back();
    }

private:
    bool accept_;
    std::mutex lock_;
    std::vector<Bytes> written_;
};

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

}  // namespace testing_devices
}  // namespace drovanel

#endif
