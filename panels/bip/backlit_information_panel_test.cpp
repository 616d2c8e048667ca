#include "backlit_information_panel.h"

#include <memory>
#include <string>

#include "discovery.h"
#include "hostsim/hostsim.h"
#include "hostsim/panels/bip.h"
#include "panel_factory.h"
#include "settings_file.h"
#include "tests/bip_test_support.h"

namespace drovanel {
namespace {

using test::fakeTick;
using test::lense;
using test::lensString;
using test::writeConfig;

constexpr const char *kWarning = "sim/cockpit/warnings/annunciators/master_warning";
constexpr const char *kBrightness = "sim/cockpit/electrical/instrument_brightness";
constexpr const char *kLampTest = "sim/cockpit/warnings/annunciator_test_pressed";
constexpr const char *kDark = "------------------------";

// The driver fixture, with the brightness the panel was last sent.
class BipDriverTest : public test::BipDriverFixture {
protected:
    int brightness() { return hostsim::bip::brightness(record->latest(kBrightnessReportId)); }
};

TEST_F(BipDriverTest, FirstStartWithoutFileIsDarkButSendsBrightness) {
    create();
    EXPECT_EQ(hostsim::log(), "Drovanel : BIP xml file >< not found\n");
    EXPECT_EQ(panel->configurationFile(), "");
    EXPECT_EQ(panel->refreshPeriod(), 250u);

    hostsim::setFloat(kBrightness, 0.55f);
    EXPECT_EQ(cycle(), kDark);
    EXPECT_EQ(brightness(), 50);
    // Brightness first, then lamps, every period.
    auto reports = record->all();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0], (std::vector<std::uint8_t>{0xB2, 50}));
    EXPECT_EQ(reports[1].size(), 7u);
    hostsim::setFloat(kBrightness, 1.0f);
    cycle();
    EXPECT_EQ(brightness(), 100);
    EXPECT_EQ(record->all().size(), 4u);
}

TEST_F(BipDriverTest, MasterWarningLightsWithPowerAndTheFileIsReReadWhileLensZeroIsFree) {
    create();
    std::string path = writeConfig(lense("5", "Red", "MasterWarning"));
    panel->setConfigurationFile(path.c_str());
    EXPECT_EQ(panel->configurationFile(), path);
    EXPECT_EQ(cycle(), kDark);

    hostsim::setInt(kWarning, 1);
    EXPECT_EQ(cycle(), kDark) << "no power";
    test::powerOn();
    EXPECT_EQ(cycle(), "-----R------------------");
    EXPECT_EQ(record->latest(kLampReportId)[4], 0x20);

    // Another aircraft: lens 0 is unbound, so the edited file is read again.
    writeConfig(lense("5", "Red", "MasterWarning") + lense("6", "Green", "MasterWarning"));
    hostsim::clearLog();
    panel->initialize();
    EXPECT_EQ(cycle(), "-----RG-----------------");

    // A layout that binds lens 0 is kept across aircraft loads...
    writeConfig(lense("0", "Amber", "MasterWarning"));
    panel->setConfigurationFile(path.c_str());
    EXPECT_EQ(cycle(), "A-----------------------");
    writeConfig(lense("1", "Amber", "MasterWarning"));
    panel->initialize();
    EXPECT_EQ(cycle(), "A-----------------------");
    // ...until the path is set again, even unchanged.
    panel->setConfigurationFile(path.c_str());
    EXPECT_EQ(cycle(), "-A----------------------");
}

TEST_F(BipDriverTest, AmberFlashAlternatesWhileTheConditionHolds) {
    create();
    test::powerOn();
    panel->setConfigurationFile(
        writeConfig(lense("2", "Amber", "MasterWarning", "<Flash On=\"500\" Off=\"500\"/>")).c_str());
    fakeTick = 10000;
    hostsim::setInt(kWarning, 1);
    EXPECT_EQ(cycle(), "--A---------------------");
    struct Step {
        std::uint32_t tick;
        const char *lenses;
    };
    // Phase changes are seen when a report is built, every 250 ms.
    const Step steps[] = {{10250, "--A---------------------"}, {10500, kDark}, {10750, kDark},
                          {11000, "--A---------------------"}, {11250, "--A---------------------"},
                          {11500, kDark}};
    for (const Step &step : steps) {
        fakeTick = step.tick;
        EXPECT_EQ(cycle(), step.lenses) << step.tick;
    }
    hostsim::setInt(kWarning, 0);
    fakeTick = 11750;
    EXPECT_EQ(cycle(), kDark);
    // Turning on again starts a fresh lit phase.
    hostsim::setInt(kWarning, 1);
    fakeTick = 11800;
    EXPECT_EQ(cycle(), "--A---------------------");
}

TEST_F(BipDriverTest, LampTestLightsEveryBoundLensOnlyWithPower) {
    create();
    panel->setConfigurationFile(writeConfig(lense("0", "Red", "GearUnsafe") + lense("1", "Green", "ParkingBrakes") +
                                            lense("2", "Amber", "MKR") + lense("3", "Red", "engine1fire") +
                                            lense("4", "Green", "DoorWarning") + lense("5", "Blue", "VacLow"))
                                    .c_str());
    hostsim::setInt("sim/aircraft/engine/acf_num_engines", 1);
    hostsim::setInt(kLampTest, 1);
    EXPECT_EQ(cycle(), kDark);
    hostsim::setInt("sim/aircraft/electrical/num_generators", 1);
    hostsim::setIntAt("sim/cockpit/electrical/generator_on", 0, 1);
    EXPECT_EQ(cycle(), "RGARG-------------------");
    hostsim::setInt(kLampTest, 0);
    EXPECT_EQ(cycle(), kDark);
}

TEST_F(BipDriverTest, PathIsKeptAcrossTeardownAndLongOrDamagedPathsAreRefused) {
    create();
    std::string path = writeConfig(lense("5", "Red", "MasterWarning"));
    panel->setConfigurationFile(path.c_str());
    hostsim::clearLog();
    std::string tooLong(256, 'p');
    panel->setConfigurationFile(tooLong.c_str());
    EXPECT_EQ(hostsim::log(), "Drovanel : BIP configuration file path is 256 characters long, at most 255 can be "
                              "stored; keeping >" + path + "<\n");
    EXPECT_EQ(panel->configurationFile(), path);
    EXPECT_TRUE(panel->lensBound(5));

    // The path survives the driver through its settings file.
    destroy();
    hostsim::clearLog();
    create();
    EXPECT_EQ(hostsim::log(), "");
    EXPECT_EQ(panel->configurationFile(), path);
    EXPECT_TRUE(panel->lensBound(5));
    std::string settingsPath = panel->settingsPath();

    // A 255-character path fits exactly.
    std::string longest(255, 'q');
    panel->setConfigurationFile(longest.c_str());
    EXPECT_EQ(panel->configurationFile(), longest);
    destroy();

    // A damaged file whose length bytes claim more than the block holds
    // reads as no file chosen.
    {
        SettingsFile file;
        ASSERT_TRUE(file.open(settingsPath.c_str()));
        std::uint8_t block[kSettingsSize] = {};
        ASSERT_EQ(file.readFromStart(block, kSettingsSize), static_cast<long>(kSettingsSize));
        block[kConfigNameLengthHighOffset] = 1;
        ASSERT_EQ(file.writeAtStart(block, kSettingsSize), static_cast<long>(kSettingsSize));
    }
    hostsim::clearLog();
    create();
    EXPECT_EQ(panel->configurationFile(), "");
    EXPECT_EQ(hostsim::log(), "Drovanel : BIP xml file >< not found\n");
}

// --- End to end: the driver found by discovery on the host's virtual
// panel, with its own threads.

class TestRegistry : public PanelRegistry {
public:
    ~TestRegistry() override { clear(); }
    bool slotEmpty(PanelSlot slot) const override { return panels[static_cast<int>(slot)] == nullptr; }
    void adopt(PanelSlot slot, AbstractPanel *panel) override { panels[static_cast<int>(slot)] = panel; }
    bool ignoreSwitchPanel() const override { return false; }
    void clear() {
        for (AbstractPanel *&panel : panels) {
            if (panel == nullptr) continue;
            panel->teardown();
            delete panel;
            panel = nullptr;
        }
    }
    AbstractPanel *panels[kPanelSlotCount] = {};
};

constexpr const char *kSampleFlashes =
    "Drovanel : flash for -> index=0, c=1, ind=MasterWarning\n"
    "Drovanel : flash for -> index=7, c=1, ind=StallWarning\n";

bool endsWith(const std::string &text, const std::string &end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

class BipEndToEndTest : public test::BipFixture {
protected:
    BacklitInformationPanel *discover() {
        discoverPanels(systemDeviceServices(), registry, createPanel);
        return dynamic_cast<BacklitInformationPanel *>(registry.panels[static_cast<int>(PanelSlot::Bip)]);
    }
    // The next lamp report written after every report seen so far.
    std::string nextLenses() {
        std::size_t seen = hostsim::featureReports(device).size();
        auto report = hostsim::waitFeature(device, kLampReportId, kLampReportSize, seen, 3000);
        return lensString(report);
    }
    void TearDown() override {
        registry.clear();
        EXPECT_TRUE(hostsim::offThreadCalls().empty());
        test::BipFixture::TearDown();
    }

    TestRegistry registry;
    int device = -1;
};

TEST_F(BipEndToEndTest, SampleLayoutFollowsTheHostAndSurvivesRestart) {
    device = hostsim::attach(hostsim::PanelKind::Bip);
    BacklitInformationPanel *bip = discover();
    ASSERT_NE(bip, nullptr);
    EXPECT_TRUE(hostsim::deviceOpen(device));

    EXPECT_TRUE(endsWith(hostsim::log(), "Drovanel : BIP xml file >< not found\n"));

    std::string sample = std::string(DROVANEL_SOURCE_DIR) + "/packaging/bip-sample.xml";
    hostsim::clearLog();
    bip->setConfigurationFile(sample.c_str());
    EXPECT_EQ(hostsim::log(), kSampleFlashes);

    // A cold aircraft: nothing lit, whatever holds.
    hostsim::setFloat(kBrightness, 0.8f);
    bip->update();
    nextLenses();  // a report may have been under way while the host changed
    EXPECT_EQ(nextLenses(), kDark);
    EXPECT_EQ(hostsim::bip::brightness(hostsim::latestFeature(device, kBrightnessReportId, 2)), 80);

    // Power on, gear down, parking brake set, engine 1 of 2 on fire, NAV1
    // selected (the default), landing lights on.
    test::powerOn();
    hostsim::setInt("sim/aircraft/engine/acf_num_engines", 2);
    hostsim::setIntAt("sim/cockpit2/annunciators/engine_fires", 1, 1);
    hostsim::setInt("sim/cockpit/switches/gear_handle_status", 1);
    hostsim::setFloat("sim/cockpit2/controls/parking_brake_ratio", 1.0f);
    hostsim::setInt("sim/cockpit/electrical/landing_lights_on", 1);
    hostsim::setInt("sim/aircraft/overflow/acf_num_tanks", 3);
    hostsim::setFloat("sim/aircraft/weight/acf_m_fuel_tot", 1000.0f);
    for (int tank = 0; tank < 3; ++tank) {
        hostsim::setFloatAt("sim/aircraft/overflow/acf_tank_rat", tank, 1.0f / 3.0f);
        hostsim::setFloatAt("sim/cockpit2/fuel/fuel_quantity", tank, 100.0f);
    }
    hostsim::setFloatAt("sim/cockpit2/fuel/fuel_quantity", 2, 10.0f);
    bip->update();
    nextLenses();  // a report may have been under way while the host changed
    EXPECT_EQ(nextLenses(), "---R----"
                            "G-R--A--"
                            "-G---G--");

    // The master warning flashes 500/500 on the injected clock.
    fakeTick = 20000;
    hostsim::setInt(kWarning, 1);
    bip->update();
    nextLenses();
    EXPECT_EQ(nextLenses().substr(0, 8), "R--R----");
    fakeTick = 20600;
    nextLenses();
    EXPECT_EQ(nextLenses().substr(0, 8), "---R----");
    fakeTick = 21200;
    nextLenses();
    EXPECT_EQ(nextLenses().substr(0, 8), "R--R----");

    // Teardown and a new driver: the path comes back from the settings file.
    registry.clear();
    EXPECT_FALSE(hostsim::deviceOpen(device));
    hostsim::clearLog();
    BacklitInformationPanel *again = discover();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->configurationFile(), sample);
    EXPECT_TRUE(endsWith(hostsim::log(), kSampleFlashes));
    again->update();
    nextLenses();
    EXPECT_EQ(nextLenses().substr(0, 16), "R--R----G-R--A--");
}

}  // namespace
}  // namespace drovanel
