// The plug-in choosing aircraft profiles: the shipped Zibo profile bound at
// its load and dropped for a plain aircraft, names published late, and an
// aircraft's own profile with a mistake refused with every built-in binding
// still at work.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>

#include "hostsim/hostsim.h"
#include "hostsim/panels/multipanel.h"
#include "plugin/plugin_core.h"
#include "profile/profile_selection.h"
#include "tick.h"

namespace drovanel {
namespace {

namespace fs = std::filesystem;
namespace mp = hostsim::multipanel;

// Read by the device watch's thread as well as the test's.
std::atomic<std::uint32_t> fakeNow{0};
std::uint32_t fakeTick() { return fakeNow.load(); }

class PluginProfiles : public testing::Test {
protected:
    void SetUp() override {
        hostsim::reset();
        setTickSource(fakeTick);
        fakeNow = 1000;
        root_ = fs::path(testing::TempDir()) / ("plugin_profiles_" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "Drovanel" / "profiles");
        fs::copy_file(fs::path(DROVANEL_SOURCE_DIR) / "packaging" / "profiles" / "Zibo-737-800.xml",
                      root_ / "Drovanel" / "profiles" / "Zibo-737-800.xml");
        fs::create_directories(root_ / "B737-800X");
        hostsim::setPluginFile((root_ / "Drovanel" / "64" / "lin.xpl").generic_string());
        hostsim::setFloat("sim/cockpit/autopilot/heading_mag", 90.0f);
        hostsim::attach(hostsim::PanelKind::Multi);
        char name[256], sig[256], desc[256];
        ASSERT_EQ(pluginStart(kLinuxIdentity, name, sig, desc), 1);
    }
    void TearDown() override {
        pluginDisable();
        pluginStop();
        setTickSource(nullptr);
        hostsim::setPluginFile("");
        fs::remove_all(root_);
        EXPECT_EQ(hostsim::nullCommandFaults(), 0);
        hostsim::reset();
    }
    std::string zibo() const { return (root_ / "B737-800X" / "b738.acf").generic_string(); }
    std::string shipped() const { return (root_ / "Drovanel" / "profiles" / "Zibo-737-800.xml").generic_string(); }
    void load(const std::string &acf, bool publishNow = true) {
        hostsim::setUserAircraft(acf, publishNow);
        hostsim::deliverMessage(pluginReceiveMessage, "X-Plane", 102);
    }
    void flightLoopAfter(std::uint32_t ms) {
        fakeNow += ms;
        flightLoopCallback(0.05f, 0.05f, 1, nullptr);
    }
    // One notch up on the HDG knob, as the panel's reader would deliver it;
    // what it fired or wrote.
    std::string turnHeading() {
        hostsim::clearCommandJournal();
        hostsim::clearDatarefWrites();
        AbstractPanel *panel = panelInSlot(PanelSlot::Multipanel);
        const auto rest = mp::selectorReport(mp::Selector::Hdg);
        const auto notch = mp::encoderReport(mp::Selector::Hdg, mp::Encoder::Up);
        tick_ += 1000;
        panel->handleEvent(rest.data(), static_cast<std::uint32_t>(rest.size()), 0, tick_);
        tick_ += 1000;
        panel->handleEvent(notch.data(), static_cast<std::uint32_t>(notch.size()), 0, tick_);
        std::string done;
        for (const hostsim::CommandCall &call : hostsim::commandJournal()) {
            if (call.path.find("autothrottle") == std::string::npos) done += call.path + " ";
        }
        for (const hostsim::DatarefWrite &w : hostsim::datarefWrites()) done += w.path + "=" + std::to_string(static_cast<int>(w.value)) + " ";
        return done;
    }
    std::size_t logged(const std::string &text) {
        std::size_t count = 0;
        for (std::size_t at = hostsim::log().find(text); at != std::string::npos; at = hostsim::log().find(text, at + 1)) ++count;
        return count;
    }

    fs::path root_;
    std::uint32_t tick_ = 100000;
};

TEST_F(PluginProfiles, ZiboAndAPlainAircraftBackAndForth) {
    ASSERT_EQ(pluginEnable(), 1);
    ASSERT_NE(panelInSlot(PanelSlot::Multipanel), nullptr);
    EXPECT_EQ(logged("Drovanel : profile >"), 0u) << "the trainer has none";
    EXPECT_EQ(turnHeading(), "sim/cockpit/autopilot/heading_mag=91 ");

    load(zibo());
    EXPECT_EQ(logged("Drovanel : profile >" + shipped() + "<\n"), 1u);
    EXPECT_EQ(turnHeading(), "laminar/B738/autopilot/heading_up ");

    load(hostsim::defaultAircraft());
    EXPECT_EQ(turnHeading(), "sim/cockpit/autopilot/heading_mag=92 ");
    load(zibo());
    EXPECT_EQ(logged("Drovanel : profile >" + shipped() + "<\n"), 2u);
    EXPECT_EQ(turnHeading(), "laminar/B738/autopilot/heading_up ");
    for (int i = 0; i < 20; ++i) flightLoopAfter(profile::kLatePollMs);
    EXPECT_EQ(logged("Drovanel : unknown"), 0u) << "every name of the shipped profile is the Zibo's";
}

TEST_F(PluginProfiles, NamesPublishedAfterTheLoadMessage) {
    ASSERT_EQ(pluginEnable(), 1);
    load(zibo(), false);
    flightLoopAfter(profile::kLatePollMs);
    EXPECT_EQ(turnHeading(), "sim/cockpit/autopilot/heading_mag=91 ");
    hostsim::publishAircraftNames();
    flightLoopAfter(profile::kLatePollMs);
    EXPECT_EQ(logged("Drovanel : profile >" + shipped() + "<\n"), 1u);
    EXPECT_EQ(turnHeading(), "laminar/B738/autopilot/heading_up ");
}

TEST_F(PluginProfiles, AMistakeRefusesTheProfileAndKeepsEveryBuiltInBinding) {
    const fs::path own = root_ / "B737-800X" / profile::kAircraftProfileName;
    std::ofstream(own) << "<DrovanelProfile>\n  <Multipanel>\n    <Knob Selector=\"HDG\" Up=\"a\"/>\n"
                          "  </Multipanel>\n</DrovanelProfile>\n";
    hostsim::setUserAircraft(zibo());
    ASSERT_EQ(pluginEnable(), 1);
    EXPECT_EQ(logged("Drovanel : profile >" + own.generic_string() + "< refused, line 3: <Knob> needs Down\n"), 1u);
    EXPECT_EQ(logged("Drovanel : profile >" + shipped()), 0u) << "the aircraft's own file decides";
    EXPECT_EQ(turnHeading(), "sim/cockpit/autopilot/heading_mag=91 ");
    mp::Controls ap;
    ap.ap = true;
    const auto report = mp::inputReport(ap);
    panelInSlot(PanelSlot::Multipanel)->handleEvent(report.data(), 4, 0, tick_ += 1000);
    EXPECT_EQ(hostsim::getInt("sim/cockpit/autopilot/autopilot_mode"), 1);
}

}  // namespace
}  // namespace drovanel
