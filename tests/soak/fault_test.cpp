// The plug-in with all five panels under faults: panels that fail their
// reads or vanish, refused feature writes, settings files that cannot be
// opened or hold garbage, and many enable/disable cycles.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <random>
#include <thread>

#include "five_panels.h"
#include "hostsim/hostsim.h"
#include "multipanel/multipanel.h"
#include "plugin/plugin_core.h"

namespace drovanel {
namespace soak {
namespace {

using Clock = std::chrono::steady_clock;

const int kInputDevices[] = {kMultiDevice, kSwitchDevice, kRadio1Device, kRadio2Device};

void writeFile(const std::string &path, const std::vector<std::uint8_t> &bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class FaultTest : public ::testing::Test {
protected:
    void TearDown() override {
        stopPlugin();
        EXPECT_TRUE(hostsim::offThreadCalls().empty());
        EXPECT_EQ(hostsim::nullCommandFaults(), 0);
    }
};

TEST_F(FaultTest, PanelsWhoseReadsFailDoNotSpinAndTheOthersGoOn) {
    ASSERT_EQ(startFivePanels(), 24);
    for (int device : {kMultiDevice, kSwitchDevice, kRadio1Device}) hostsim::failReads(device, true);
    long before[kDeviceCount];
    for (int device : kInputDevices) before[device] = hostsim::readAttempts(device);
    const auto start = Clock::now();
    while (Clock::now() - start < std::chrono::seconds(1)) {
        flightLoop();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    for (int device : {kMultiDevice, kSwitchDevice, kRadio1Device}) {
        const long attempts = hostsim::readAttempts(device) - before[device];
        // One attempt per 100 ms back-off, and some slack for a slow machine.
        EXPECT_LE(attempts, 15) << "device " << device << " spins on its failing reads";
        EXPECT_GE(attempts, 3) << "device " << device << " gave up reading";
    }
    EXPECT_TRUE(panelResponds(kRadio2Device)) << "a healthy panel is not held up by failing ones";

    // The fault clears (the panel was plugged back in): the same driver reads again.
    for (int device : {kMultiDevice, kSwitchDevice, kRadio1Device}) hostsim::failReads(device, false);
    for (int device : {kMultiDevice, kSwitchDevice, kRadio1Device}) {
        EXPECT_TRUE(panelResponds(device)) << "device " << device;
    }
}

TEST_F(FaultTest, UnpluggedPanelsEndTheirReadersAndDisableDoesNotHang) {
    ASSERT_EQ(startFivePanels(), 24);
    for (int device = 0; device < kDeviceCount; ++device) hostsim::detach(device);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const long attempts = hostsim::readAttempts(kMultiDevice);
    for (int i = 0; i < 10; ++i) flightLoop();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(hostsim::readAttempts(kMultiDevice), attempts) << "a gone panel's reader stops reading";
    const auto start = Clock::now();
    pluginDisable();
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(settingsFileSizes(), std::vector<long>(kDeviceCount, 1024));
}

TEST_F(FaultTest, RefusedFeatureWritesKeepEveryPanelRunning) {
    ASSERT_EQ(startFivePanels(), 24);
    for (int device = 0; device < kDeviceCount; ++device) hostsim::refuseFeatureWrites(device, true);
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    std::size_t written[kDeviceCount];
    for (int device = 0; device < kDeviceCount; ++device) written[device] = hostsim::featureReports(device).size();
    for (int device : kInputDevices) EXPECT_TRUE(panelResponds(device)) << "device " << device;

    EXPECT_EQ(hostsim::featureReports(kMultiDevice).size(), written[kMultiDevice]) << "writes were refused";

    for (int device = 0; device < kDeviceCount; ++device) hostsim::refuseFeatureWrites(device, false);
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    for (int device = 0; device < kDeviceCount; ++device) {
        while (hostsim::featureReports(device).size() <= written[device] && Clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        EXPECT_GT(hostsim::featureReports(device).size(), written[device])
            << "device " << device << " writes its reports again";
    }
}

// A settings file the plug-in cannot open (a folder in its place), one cut
// short, and ones full of garbage: each panel runs on what it could read,
// and every readable file is whole again afterwards.
TEST_F(FaultTest, UnopenableTruncatedAndDamagedSettingsFilesLeavePanelsRunning) {
    hostsim::reset();
    std::mt19937 random(7);
    std::vector<std::uint8_t> garbage(1024);
    for (auto &byte : garbage) byte = static_cast<std::uint8_t>(random());
    // Layout name length bytes claiming far more than the block holds.
    garbage[64] = 0xFF;
    garbage[65] = 0xFF;
    ASSERT_EQ(mkdir(hostsim::prefsFile(kSettingsFiles[kMultiDevice]).c_str(), 0755), 0);
    writeFile(hostsim::prefsFile(kSettingsFiles[kSwitchDevice]), {0x00, 0x12});
    writeFile(hostsim::prefsFile(kSettingsFiles[kRadio1Device]), garbage);
    writeFile(hostsim::prefsFile(kSettingsFiles[kRadio2Device]), std::vector<std::uint8_t>(5000, 0xFF));
    writeFile(hostsim::prefsFile(kSettingsFiles[kBipDevice]), garbage);

    // startFivePanels resets the host, which would empty the folder: attach
    // and enable here instead.
    Multipanel::setStartupWait(0);
    for (auto kind : {hostsim::PanelKind::Multi, hostsim::PanelKind::Switch, hostsim::PanelKind::Radio,
                      hostsim::PanelKind::Radio, hostsim::PanelKind::Bip}) {
        hostsim::attach(kind);
    }
    char name[256], signature[256], description[256];
    pluginStart(kLinuxIdentity, name, signature, description);
    pluginEnable();
    for (int device = 0; device < kDeviceCount; ++device) ASSERT_TRUE(hostsim::deviceOpen(device)) << device;
    EXPECT_EQ(panelInSlot(PanelSlot::Multipanel)->coalescenceTime(), 250u) << "defaults without a file";
    for (int i = 0; i < 20; ++i) flightLoop();
    for (int device : kInputDevices) EXPECT_TRUE(panelResponds(device)) << "device " << device;
    ASSERT_NE(bipPanel(), nullptr);
    EXPECT_EQ(hostsim::waitFeature(kBipDevice, 0xB8, 7, 0, 2000).size(), 7u) << "the BIP still writes its lamps";
    pluginDisable();

    const std::vector<long> sizes = settingsFileSizes();
    EXPECT_EQ(sizes[kSwitchDevice], 1024) << "a short file is written back whole";
    EXPECT_EQ(sizes[kRadio1Device], 1024);
    EXPECT_EQ(sizes[kRadio2Device], 5000) << "a long file keeps its tail";
    EXPECT_EQ(sizes[kBipDevice], 1024);
}

// Many enable/disable cycles without panels, then a few with all five (the
// 64-bit teardown waits one refresh period per panel). LeakSanitizer checks
// memory at exit in the asan build; threads and descriptors are counted here.
TEST_F(FaultTest, EnableDisableCyclesLeakNoThreadOrDescriptorAndNeverHang) {
    hostsim::reset();
    char name[256], signature[256], description[256];
    pluginStart(kLinuxIdentity, name, signature, description);
    // A sanitizer's runtime starts a helper thread with the process's first
    // thread: let that happen before counting.
    std::thread([] {}).join();
    const int threads = settledTasks(1);
    const int descriptors = countEntries("/proc/self/fd");
    for (int cycle = 0; cycle < 1000; ++cycle) {
        pluginEnable();
        flightLoop();
        pluginDisable();
    }
    for (int device = 0; device < kDeviceCount; ++device) {
        hostsim::attach(device == kMultiDevice    ? hostsim::PanelKind::Multi
                        : device == kSwitchDevice ? hostsim::PanelKind::Switch
                        : device == kBipDevice    ? hostsim::PanelKind::Bip
                                                  : hostsim::PanelKind::Radio);
    }
    Multipanel::setStartupWait(0);
    for (int cycle = 0; cycle < 3; ++cycle) {
        pluginEnable();
        for (int i = 0; i < 5; ++i) flightLoop();
        const auto start = Clock::now();
        pluginDisable();
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(5)) << "cycle " << cycle;
    }
    EXPECT_LE(settledTasks(threads), threads) << "threads left behind";
    EXPECT_EQ(countEntries("/proc/self/fd"), descriptors) << "descriptors left open";
    EXPECT_EQ(settingsFileSizes(), std::vector<long>(kDeviceCount, 1024));
}

}  // namespace
}  // namespace soak
}  // namespace drovanel
