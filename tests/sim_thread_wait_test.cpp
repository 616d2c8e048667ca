// The simulator thread never waits on a panel, in either build's behaviour
// (this file is compiled into the 64-bit and the 32-bit core's tests):
// enable, an aircraft load, the "Ignore Switchpanel" item and disable return
// without sleeping through a refresh period or the Multi Panel's start-up
// pause, and the state the Multi Panel reads back reaches the simulator at
// the next flight loop. The waits are made far longer than any bound here,
// so a busy machine cannot make a waiting build pass or a prompt one fail.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "behaviour.h"
#include "hostsim/hostsim.h"
#include "hostsim/panels/multipanel.h"
#include "multipanel/multipanel.h"
#include "plugin/plugin_core.h"
#include "tests/test_files.h"

namespace drovanel {
namespace {

constexpr std::uint32_t kLongPause = 30000;
constexpr std::uint32_t kLongRefresh = 30000;
constexpr double kPromptSeconds = 3.0;
constexpr std::uint32_t kStartupWaitDefault = 500;

template <typename Done>
bool waitFor(Done done, int timeoutMs = 3000) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

class SimThreadWaitTest : public ::testing::Test {
protected:
    void SetUp() override {
        hostsim::reset();
        multi = hostsim::attach(hostsim::PanelKind::Multi);
        hostsim::attach(hostsim::PanelKind::Switch);
        hostsim::attach(hostsim::PanelKind::Radio);
        hostsim::attach(hostsim::PanelKind::Radio);
        hostsim::attach(hostsim::PanelKind::Bip);
        hostsim::setFeatureAnswer(multi, hostsim::multipanel::stateAnswer(hostsim::multipanel::Selector::Crs));
        char name[256], sig[256], desc[256];
        pluginStart(kWindowsIdentity, name, sig, desc);
    }
    void TearDown() override {
        pluginDisable();
        pluginStop();
        Multipanel::setStartupWait(kStartupWaitDefault);
    }
    void enable() {
        hostsim::TimedCall timed(hostsim::CallKind::Enable);
        pluginEnable();
    }
    void disable() {
        hostsim::TimedCall timed(hostsim::CallKind::Disable);
        pluginDisable();
    }
    // Every panel but the Multi Panel (which sets its own period at each
    // report) refreshes once in kLongRefresh from now on. The Switch Panel is
    // left out while "Ignore Switchpanel" is set.
    void slowRefreshes() {
        int panels = 0;
        for (PanelSlot slot :
             {PanelSlot::Switchpanel, PanelSlot::Radiopanel1, PanelSlot::Radiopanel2, PanelSlot::Bip}) {
            if (AbstractPanel *panel = panelInSlot(slot)) {
                panel->setRefreshPeriod(kLongRefresh);
                ++panels;
            }
        }
        EXPECT_EQ(panels, ignoreSwitchPanelSet() ? 3 : 4);
    }
    Multipanel *multipanel() { return dynamic_cast<Multipanel *>(panelInSlot(PanelSlot::Multipanel)); }
    // Waits until the Multi Panel's refresh thread has queued what it read back.
    bool readBackQueued() {
        return waitFor([&] { return multipanel() != nullptr && multipanel()->queuedEvents() >= 1; });
    }
    int multi = -1;
};

TEST_F(SimThreadWaitTest, NoCallWaitsForAPanelWithFivePanels) {
    Multipanel::setStartupWait(kLongPause);
    enable();
    slowRefreshes();
    hostsim::deliverMessage(pluginReceiveMessage, "X-Plane", 102);
    hostsim::runFlightLoops(2);
    hostsim::pickMenuItem("drovanel", "Ignore Switchpanel");
    slowRefreshes();
    hostsim::pickMenuItem("drovanel", "Ignore Switchpanel");
    slowRefreshes();
    disable();

    struct Expected {
        hostsim::CallKind kind;
        long count;
        const char *what;
    };
    const Expected rows[] = {{hostsim::CallKind::Enable, 1, "enable"},
                             {hostsim::CallKind::Message, 1, "aircraft load"},
                             {hostsim::CallKind::FlightLoop, 2, "flight loop"},
                             {hostsim::CallKind::Menu, 2, "menu toggle"},
                             {hostsim::CallKind::Disable, 1, "disable"}};
    for (const Expected &row : rows) {
        const hostsim::CallTimes times = hostsim::callTimes(row.kind);
        EXPECT_EQ(times.count, row.count) << row.what;
        EXPECT_LT(times.longestSeconds, kPromptSeconds) << row.what;
    }
    EXPECT_EQ(hostsim::log().find("get feature"), std::string::npos) << "the pause never ended: nothing read back";
    for (int device = 0; device < hostsim::deviceCount(); ++device) EXPECT_FALSE(hostsim::deviceOpen(device));
    EXPECT_EQ(testing_files::readFile(hostsim::prefsFile("Drovanel.Multipanel.prf")).size(), 1024u)
        << "settings written at teardown";
}

TEST_F(SimThreadWaitTest, ReadBackReachesTheSimulatorAtTheNextFlightLoopOnly) {
    Multipanel::setStartupWait(0);
    enable();
    ASSERT_TRUE(readBackQueued());
    EXPECT_EQ(multipanel()->currentSelector(), 0) << "not applied before a flight loop";
    EXPECT_EQ(hostsim::log().find("get feature"), std::string::npos);
    hostsim::clearLog();
    hostsim::runFlightLoops(1);
    const char *expected = kBehaviour32 ? "get feature\n" : "Drovane : callback get feature\n...multipanel ";
    EXPECT_EQ(hostsim::log().rfind(expected, 0), 0u) << hostsim::log();
    EXPECT_EQ(multipanel()->currentSelector(), 0x10);

    // An aircraft load asks again; the message itself reads nothing.
    hostsim::setFeatureAnswer(multi, hostsim::multipanel::stateAnswer(hostsim::multipanel::Selector::Alt));
    hostsim::clearLog();
    hostsim::deliverMessage(pluginReceiveMessage, "X-Plane", 102);
    EXPECT_EQ(hostsim::log().find("get feature"), std::string::npos) << hostsim::log();
    ASSERT_TRUE(waitFor([&] {
        hostsim::runFlightLoops(1);
        return multipanel()->currentSelector() == 0x01;
    }));
    EXPECT_NE(hostsim::log().find("get feature\n"), std::string::npos);
    EXPECT_TRUE(hostsim::offThreadCalls().empty());
}

}  // namespace
}  // namespace drovanel
