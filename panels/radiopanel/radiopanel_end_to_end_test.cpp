// Two virtual Radio Panels driven through the plug-in core and the host.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

#include "hostsim/hostsim.h"
#include "hostsim/panels/radiopanel.h"
#include "plugin/plugin_core.h"

namespace drovanel {
namespace {

namespace rp = hostsim::radiopanel;
using rp::Selector;

std::size_t fileSize(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {}).size();
}

class RadiopanelEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        hostsim::reset();
        first = hostsim::attach(hostsim::PanelKind::Radio);
        second = hostsim::attach(hostsim::PanelKind::Radio);
        char name[256], sig[256], desc[256];
        ASSERT_EQ(pluginStart(kLinuxIdentity, name, sig, desc), 1);
        ASSERT_EQ(pluginEnable(), 1);
    }
    void TearDown() override {
        pluginDisable();
        pluginStop();
    }

    // Queues a report on the panel and runs flight loops until its reader
    // has handed it over and the flight loop has applied it. Until the
    // reader's first read has queued its report, the queue may hold only
    // the refresh thread's replay of the stored one.
    void press(int device, PanelSlot slot, const std::vector<std::uint8_t> &report) {
        hostsim::queueInput(device, report);
        AbstractPanel *panel = panelInSlot(slot);
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while ((hostsim::pendingInput(device) > 0 || panel->replayPending() || panel->queuedEvents() == 0) &&
               std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        hostsim::runFlightLoops(1);
    }

    int first = -1;
    int second = -1;
};

TEST_F(RadiopanelEndToEnd, TuneAndSwapComOneOnTheFirstPanel) {
    AbstractPanel *one = panelInSlot(PanelSlot::Radiopanel1);
    AbstractPanel *two = panelInSlot(PanelSlot::Radiopanel2);
    ASSERT_NE(one, nullptr);
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(one->panelName(), "Radiopanel1");
    EXPECT_EQ(two->panelName(), "Radiopanel2");
    EXPECT_EQ(one->settingsPath(), hostsim::prefsFile("Drovanel.Radiopanel1.prf"));
    EXPECT_EQ(two->settingsPath(), hostsim::prefsFile("Drovanel.Radiopanel2.prf"));
    EXPECT_NE(hostsim::log().find("check buttons passed"), std::string::npos);

    hostsim::setInt("sim/cockpit/electrical/avionics_on", 1);
    hostsim::setInt("sim/cockpit/electrical/generator_apu_on", 1);
    hostsim::setInt("sim/cockpit/radios/com1_freq_hz", 11800);
    hostsim::setInt("sim/cockpit/radios/com1_stdby_freq_hz", 12000);

    press(first, PanelSlot::Radiopanel1, rp::inputReport(Selector::Com1, Selector::Nav1, rp::kUpperFineUp));
    EXPECT_EQ(hostsim::getInt("sim/cockpit/radios/com1_stdby_freq_hz"), 12001);
    press(first, PanelSlot::Radiopanel1, rp::inputReport(Selector::Com1, Selector::Nav1, rp::kUpperActStby));
    EXPECT_EQ(hostsim::getInt("sim/cockpit/radios/com1_freq_hz"), 12001);
    EXPECT_EQ(hostsim::getInt("sim/cockpit/radios/com1_stdby_freq_hz"), 11800);

    // The refresh thread shows the swap once the flight loop has cached it.
    hostsim::runFlightLoops(1);
    rp::Displays shown;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    do {
        const std::size_t written = hostsim::featureReports(first).size();
        const auto report = hostsim::waitFeature(first, 0x00, rp::kDisplayReportSize, written, 1000);
        ASSERT_TRUE(rp::decodeDisplays(report, &shown)) << "no display report";
    } while (shown.upperActive != "120.01" && std::chrono::steady_clock::now() < until);
    EXPECT_EQ(shown.upperActive, "120.01");
    EXPECT_EQ(shown.upperStandby, "118.00");

    EXPECT_TRUE(hostsim::offThreadCalls().empty());
    EXPECT_EQ(hostsim::nullCommandFaults(), 0);

    pluginDisable();
    EXPECT_EQ(fileSize(hostsim::prefsFile("Drovanel.Radiopanel1.prf")), 1024u);
    EXPECT_EQ(fileSize(hostsim::prefsFile("Drovanel.Radiopanel2.prf")), 1024u);
}

}  // namespace
}  // namespace drovanel
