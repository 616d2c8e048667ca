// The 32-bit build's behaviour: quieter log, same work.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace drovanel
