// Shared pieces of the BIP tests: an injected tick, a recording device, a
// driver on it, an aircraft with power, and configuration files written on
// the fly.
#ifndef DROVANEL_TESTS_BIP_TEST_SUPPORT_H
#define DROVANEL_TESTS_BIP_TEST_SUPPORT_H

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bip/backlit_information_panel.h"
#include "bip/bip_report.h"
#include "hid/hid_device.h"

namespace drovanel {
namespace test {

// The tick the code under test sees while a TickFixture runs.
extern std::atomic<std::uint32_t> fakeTick;
std::uint32_t fakeTickSource();

// Resets the host (fresh preferences folder, empty log) and injects the tick.
class BipFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

// One battery, switched on.
void powerOn();
// Batteries, generators and APU all off.
void powerOff();

// Writes text to a file in the host's preferences folder; returns its path.
std::string writeFile(const std::string &name, const std::string &text);
// A configuration file from lens entries (the text inside <BipProgramming>).
std::string writeConfig(const std::string &entries, const std::string &name = "bip.xml");
// One lens entry.
std::string lense(const std::string &assignment, const std::string &colour, const std::string &id,
                  const std::string &flash = "");

// Feature reports written to a RecordingDevice, shared with the test.
struct FeatureRecord {
    std::mutex lock;
    std::vector<std::vector<std::uint8_t>> reports;
    std::vector<std::vector<std::uint8_t>> all();
    std::vector<std::uint8_t> latest(std::uint8_t reportId);
};

// A device without input that records every feature report.
class RecordingDevice : public HidDevice {
public:
    explicit RecordingDevice(std::shared_ptr<FeatureRecord> record) : record_(std::move(record)) {}
    int read(std::uint8_t *, int, const wchar_t *) override { return kReadCancelled; }
    void cancel() override {}
    bool setFeature(const std::uint8_t *buffer, int size) override;
    bool getFeature(std::uint8_t *, int) override { return false; }

private:
    std::shared_ptr<FeatureRecord> record_;
};

// The 24 lens colours ("R", "G", "A", "-") of a lamp report, joined.
std::string lensString(const std::vector<std::uint8_t> &lampReport);

// A driver on a recording device, its threads not started: the test plays
// the simulator thread (update) and the refresh thread (sendReport).
class BipDriverFixture : public BipFixture {
protected:
    void TearDown() override {
        destroy();
        BipFixture::TearDown();
    }
    void create() {
        destroy();
        record = std::make_shared<FeatureRecord>();
        panel = new BacklitInformationPanel(new RecordingDevice(record));
    }
    void destroy() {
        if (panel == nullptr) return;
        panel->teardown();
        delete panel;
        panel = nullptr;
    }
    // One flight loop and one refresh; returns the lenses shown.
    std::string cycle() {
        panel->update();
        panel->sendReport();
        return lensString(record->latest(kLampReportId));
    }

    std::shared_ptr<FeatureRecord> record;
    BacklitInformationPanel *panel = nullptr;
};

}  // namespace test
}  // namespace drovanel

#endif
