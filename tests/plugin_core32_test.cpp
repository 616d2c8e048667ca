// The 32-bit build's behaviour: quieter log, same work.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "hostsim/hostsim.h"
#include "plugin/plugin_core.h"

namespace drovanel {
namespace {

class PluginCore32Test : public ::testing::Test {
protected:
    void SetUp() override {
        hostsim::reset();
        char name[256], sig[256], desc[256];
        pluginStart(kWindowsIdentity, name, sig, desc);
        pluginEnable();
        hostsim::clearLog();
    }
    void TearDown() override {
        pluginDisable();
        pluginStop();
    }
};

TEST_F(PluginCore32Test, FlightLoopWritesNoLog) {
    hostsim::runFlightLoops(3);
    EXPECT_EQ(hostsim::log(), "");
    EXPECT_FLOAT_EQ(hostsim::lastFlightLoopInterval(), 0.05f);
}

TEST_F(PluginCore32Test, MessagesLogOnlyTheSetupLines) {
    hostsim::deliverMessage(pluginReceiveMessage, "X-Plane", 102);
    hostsim::deliverMessage(pluginReceiveMessage, "x737plugin", static_cast<int>(0x88888880u));
    hostsim::deliverMessage(pluginReceiveMessage, "Other", 102);
    EXPECT_EQ(hostsim::log(), "Drovanel : X-Plane 102 setup\nDrovanel : x737plugin setup\n");
}

// Panels come and go in the 32-bit build too; the two lines are its only log.
TEST_F(PluginCore32Test, APanelUnpluggedAndPluggedBackLogsTheTwoLinesOnly) {
    int radio = hostsim::attach(hostsim::PanelKind::Radio);
    deviceWatchListNow();
    hostsim::runFlightLoops(1);
    ASSERT_NE(panelInSlot(PanelSlot::Radiopanel1), nullptr);
    hostsim::clearLog();

    hostsim::detach(radio);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (panelInSlot(PanelSlot::Radiopanel1) != nullptr && std::chrono::steady_clock::now() < until) {
        hostsim::runFlightLoops(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_EQ(hostsim::log(), "Drovanel : Radiopanel1 disconnected\n");
    hostsim::clearLog();
    hostsim::plug(radio);
    deviceWatchListNow();
    hostsim::runFlightLoops(1);
    EXPECT_NE(panelInSlot(PanelSlot::Radiopanel1), nullptr);
    EXPECT_EQ(hostsim::log(), "check buttons passedDrovanel : Radiopanel1 connected\n");
    EXPECT_TRUE(hostsim::offThreadCalls().empty());
}

}  // namespace
}  // namespace drovanel
