// Each panel kind driven through DrovanelVirtual.xpl, loaded the way the
// simulator loads a plug-in: input reports in, datarefs and commands out,
// and the panels' displays and lamps read back from their feature reports.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "hostsim/hostsim.h"
#include "hostsim/panels/bip.h"
#include "hostsim/panels/multipanel.h"
#include "hostsim/panels/radiopanel.h"
#include "hostsim/panels/switchpanel.h"
#include "tests/test_files.h"

namespace {

using drovanel::testing_files::readFile;
using drovanel::testing_files::writeFile;
using drovanel::testing_files::writeTextFile;
using Bytes = std::vector<std::uint8_t>;

template <typename Done>
bool waitFor(Done done, int timeoutMs = 3000) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) return false;
        hostsim::runFlightLoops(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// Whether a BIP lamp report shows that lens in that colour.
auto lensShows(int lens, const char *colour) {
    return [lens, colour](const Bytes &report) {
        std::vector<std::string> colours = hostsim::bip::lensColours(report);
        return !colours.empty() && colours[lens] == colour;
    };
}

class PluginPanelsTest : public ::testing::Test {
protected:
    void SetUp() override {
        hostsim::reset();
        std::string error;
        ASSERT_TRUE(plugin.load(DROVANEL_VIRTUAL_PLUGIN, &error)) << error;
        std::string name, signature, description;
        ASSERT_EQ(plugin.start(&name, &signature, &description), 1);
        // An aircraft with its battery and avionics on, so the panels light.
        hostsim::setInt("sim/aircraft/electrical/num_batteries", 1);
        hostsim::setIntAt("sim/cockpit/electrical/battery_array_on", 0, 1);
        hostsim::setInt("sim/cockpit/electrical/avionics_on", 1);
    }
    void TearDown() override {
        plugin.disable();
        plugin.stop();
        EXPECT_EQ(hostsim::nullCommandFaults(), 0);
        EXPECT_TRUE(hostsim::offThreadCalls().empty());
    }
    // The latest feature report of that id and length, once `shows` holds for
    // it (a report built from the old cache may still be on its way).
    template <typename Shows>
    bool featureShows(int device, std::uint8_t id, std::size_t length, Shows shows) {
        return waitFor([&] { return shows(hostsim::latestFeature(device, id, length)); });
    }
    // The next feature report of that id and length written after now.
    Bytes nextFeature(int device, std::uint8_t id, std::size_t length) {
        std::size_t seen = hostsim::featureReports(device).size();
        Bytes report;
        waitFor([&] {
            report = hostsim::waitFeature(device, id, length, seen, 20);
            return !report.empty();
        });
        return report;
    }
    hostsim::Plugin plugin;
};

TEST_F(PluginPanelsTest, MultiPanelHeadingNotchMovesTheHeadingAndTheTopRow) {
    namespace mp = hostsim::multipanel;
    int device = hostsim::attach(hostsim::PanelKind::Multi);
    hostsim::setFloat("sim/cockpit/autopilot/heading_mag", 90.0f);
    plugin.enable();
    hostsim::queueInput(device, mp::encoderReport(mp::Selector::Hdg, mp::Encoder::Up));
    ASSERT_TRUE(waitFor([] { return hostsim::getFloat("sim/cockpit/autopilot/heading_mag") != 90.0f; }));
    EXPECT_FLOAT_EQ(hostsim::getFloat("sim/cockpit/autopilot/heading_mag"), 91.0f);
    EXPECT_TRUE(featureShows(device, 0, 13, [](const Bytes &r) { return mp::decodeDisplay(r).top == "  091"; }));
}

TEST_F(PluginPanelsTest, TwoRadioPanelsTuneSwapAndToggleTheirDmeOption) {
    namespace rp = hostsim::radiopanel;
    int first = hostsim::attach(hostsim::PanelKind::Radio);
    int second = hostsim::attach(hostsim::PanelKind::Radio);
    hostsim::setInt("sim/cockpit/radios/com1_freq_hz", 11800);
    hostsim::setInt("sim/cockpit/radios/com1_stdby_freq_hz", 12000);
    plugin.enable();
    auto menu = hostsim::menus();
    for (const auto &m : menu) {
        if (m.name != "drovanel") continue;
        EXPECT_TRUE(m.items[1].enabled);
        EXPECT_TRUE(m.items[2].enabled);
    }
    ASSERT_TRUE(hostsim::pickMenuItem("drovanel", "2. Radiopanel DME in 2nd segment"));

    hostsim::queueInput(first, rp::inputReport(rp::Selector::Com1, rp::Selector::Nav1, rp::kUpperFineUp));
    ASSERT_TRUE(waitFor([] { return hostsim::getInt("sim/cockpit/radios/com1_stdby_freq_hz") == 12001; }));
    hostsim::queueInput(first, rp::inputReport(rp::Selector::Com1, rp::Selector::Nav1, rp::kUpperActStby));
    ASSERT_TRUE(waitFor([] { return hostsim::getInt("sim/cockpit/radios/com1_freq_hz") == 12001; }));
    EXPECT_EQ(hostsim::getInt("sim/cockpit/radios/com1_stdby_freq_hz"), 11800);
    EXPECT_TRUE(featureShows(first, 0, 23, [](const Bytes &r) {
        rp::Displays displays;
        return rp::decodeDisplays(r, &displays) && displays.upperActive == "120.01" &&
               displays.upperStandby == "118.00";
    }));
    EXPECT_TRUE(hostsim::deviceOpen(second));

    plugin.disable();
    EXPECT_EQ(readFile(hostsim::prefsFile("Drovanel.Radiopanel1.prf")).size(), 1024u);
    Bytes second_file = readFile(hostsim::prefsFile("Drovanel.Radiopanel2.prf"));
    ASSERT_EQ(second_file.size(), 1024u);
    EXPECT_EQ(second_file[66], 1) << "the second unit's DME option";
}

TEST_F(PluginPanelsTest, SwitchPanelTakesOverItsStoredPositionsAndCanBeIgnored) {
    namespace sp = hostsim::switchpanel;
    sp::Switches stored;
    stored.battery = true;
    stored.beacon = true;
    stored.magneto = sp::Magneto::Both;
    Bytes image(1024, 0);
    Bytes report = sp::inputReport(stored);
    std::copy(report.begin(), report.end(), image.begin());
    writeFile(hostsim::prefsFile("Drovanel.Switchpanel.prf"), image);
    int device = hostsim::attach(hostsim::PanelKind::Switch);
    hostsim::setIntAt("sim/cockpit/electrical/battery_array_on", 0, 0);
    plugin.enable();
    ASSERT_TRUE(waitFor([] { return hostsim::getIntAt("sim/cockpit/electrical/battery_array_on", 0) == 1; }));
    bool beaconOn = false;
    for (const auto &call : hostsim::commandJournal()) {
        if (call.path == "sim/lights/beacon_lights_on") beaconOn = true;
        EXPECT_NE(call.path, "sim/lights/beacon_lights_off");
    }
    EXPECT_TRUE(beaconOn);

    ASSERT_TRUE(hostsim::pickMenuItem("drovanel", "Ignore Switchpanel"));
    EXPECT_FALSE(hostsim::deviceOpen(device)) << "torn down and left out";
    EXPECT_EQ(readFile(hostsim::prefsFile("Drovanel.Switchpanel.prf")).size(), 1024u);
    ASSERT_TRUE(hostsim::pickMenuItem("drovanel", "Ignore Switchpanel"));
    EXPECT_TRUE(hostsim::deviceOpen(device));
}

TEST_F(PluginPanelsTest, BipShowsItsConfiguredLensesAndKeepsItsPath) {
    const std::string layout = hostsim::prefsFile("layout.xml");
    writeTextFile(layout,
                  "<Bip><BipProgramming>"
                  "<Lense><Assignment>5</Assignment><Colour>Red</Colour><Id>MasterWarning</Id></Lense>"
                  "<Lense><Assignment>9</Assignment><Colour>Amber</Colour><Id>MasterCaution</Id>"
                  "<Flash On=\"200\" Off=\"200\"/></Lense>"
                  "</BipProgramming></Bip>");
    Bytes image(1024, 0);
    image[65] = static_cast<std::uint8_t>(layout.size());
    std::copy(layout.begin(), layout.end(), image.begin() + 66);
    writeFile(hostsim::prefsFile("Drovanel.BacklitInformationPanel.prf"), image);
    int device = hostsim::attach(hostsim::PanelKind::Bip);
    plugin.enable();

    EXPECT_TRUE(featureShows(device, 0xB8, 7, lensShows(5, "-")));
    hostsim::setInt("sim/cockpit/warnings/annunciators/master_warning", 1);
    hostsim::setInt("sim/cockpit/warnings/annunciators/master_caution", 1);
    EXPECT_TRUE(featureShows(device, 0xB8, 7, lensShows(5, "R")));
    bool cautionLit = false;
    bool cautionDark = false;
    for (int i = 0; i < 12 && !(cautionLit && cautionDark); ++i) {
        hostsim::runFlightLoops(1);
        Bytes report = nextFeature(device, 0xB8, 7);
        cautionLit |= lensShows(9, "A")(report);
        cautionDark |= lensShows(9, "-")(report);
    }
    EXPECT_TRUE(cautionLit && cautionDark) << "lens 9 flashes";

    plugin.disable();
    plugin.enable();
    EXPECT_TRUE(featureShows(device, 0xB8, 7, lensShows(5, "R")))
        << "path kept in the settings file";
}

}  // namespace
