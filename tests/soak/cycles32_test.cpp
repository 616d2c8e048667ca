// The 32-bit behaviour's teardown does not wait a refresh period, so here
// the plug-in can be enabled and disabled a thousand times with all five
// panels attached: every cycle starts and joins ten threads, opens and
// closes five devices and writes five settings files. LeakSanitizer checks
// memory at exit in the asan build; threads, descriptors and devices are
// counted here, and a cycle that hangs fails on its time.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "five_panels.h"
#include "hostsim/hostsim.h"
#include "multipanel/multipanel.h"
#include "plugin/plugin_core.h"

namespace drovanel {
namespace soak {
namespace {

TEST(Cycles32Test, ThousandEnableDisableCyclesWithFivePanels) {
    ASSERT_EQ(startFivePanels(), 24);
    pluginDisable();
    // Discovery's two walks may each open a panel: count what one enable does.
    int opensPerEnable[kDeviceCount];
    for (int device = 0; device < kDeviceCount; ++device) opensPerEnable[device] = hostsim::openCount(device);
    const int threads = settledTasks(1);
    const int descriptors = countEntries("/proc/self/fd");
    auto slowest = std::chrono::steady_clock::duration::zero();
    for (int cycle = 0; cycle < 1000; ++cycle) {
        const auto start = std::chrono::steady_clock::now();
        pluginEnable();
        flightLoop();
        if (cycle % 100 == 0) {
            for (int device = 0; device < kDeviceCount; ++device) {
                ASSERT_TRUE(hostsim::deviceOpen(device)) << "cycle " << cycle << " device " << device;
            }
        }
        pluginDisable();
        if ((cycle & 63) == 0) hostsim::clearLog();
        slowest = std::max(slowest, std::chrono::steady_clock::now() - start);
    }
    pluginStop();
    EXPECT_LT(slowest, std::chrono::seconds(2)) << "a cycle took too long";
    EXPECT_LE(settledTasks(threads), threads) << "threads left behind";
    EXPECT_EQ(countEntries("/proc/self/fd"), descriptors) << "descriptors left open";
    for (int device = 0; device < kDeviceCount; ++device) {
        EXPECT_FALSE(hostsim::deviceOpen(device)) << device;
        EXPECT_EQ(hostsim::openCount(device), 1001 * opensPerEnable[device]) << device;
    }
    EXPECT_EQ(settingsFileSizes(), std::vector<long>(kDeviceCount, 1024));
    EXPECT_TRUE(hostsim::offThreadCalls().empty());
}

}  // namespace
}  // namespace soak
}  // namespace drovanel
