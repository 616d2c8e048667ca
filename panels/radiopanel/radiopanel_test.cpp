#include "radiopanel.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "hostsim/hostsim.h"
#include "hostsim/panels/radiopanel.h"
#include "tests/recording_device.h"

namespace drovanel {
namespace {

namespace rp = hostsim::radiopanel;
using rp::Selector;
using Bytes = std::vector<std::uint8_t>;

using testing_devices::RecordingDevice;

const char *const kMode = "sim/cockpit/radios/nav_com_adf_mode";
const char *const kCom1 = "sim/cockpit/radios/com1_freq_hz";
const char *const kCom1Stdby = "sim/cockpit/radios/com1_stdby_freq_hz";
const char *const kNav1Stdby = "sim/cockpit/radios/nav1_stdby_freq_hz";
const char *const kAdf1Stdby = "sim/cockpit/radios/adf1_stdby_freq_hz";
const char *const kDmeStdby = "sim/cockpit/radios/dme_stdby_freq_hz";
const char *const kTransponder = "sim/cockpit/radios/transponder_code";

class RadiopanelTest : public ::testing::Test {
protected:
    void SetUp() override { hostsim::reset(); }

    std::unique_ptr<Radiopanel> makePanel(int unit, RecordingDevice **device = nullptr) {
        auto *d = new RecordingDevice;
        if (device != nullptr) *device = d;
        return std::make_unique<Radiopanel>(d, unit);
    }
    // Each input lands well apart from the last, so the encoder filter takes
    // it as a new movement.
    void input(Radiopanel &panel, const Bytes &report, std::uint8_t flag = 0) {
        tick += 1000;
        panel.handleEvent(report.data(), static_cast<std::uint32_t>(report.size()), flag, tick);
    }
    void powerOn() {
        hostsim::setInt("sim/cockpit/electrical/avionics_on", 1);
        hostsim::setIntAt("sim/cockpit/electrical/battery_array_on", 0, 1);
    }
    Bytes display(Radiopanel &panel, RecordingDevice &device) {
        panel.update();
        panel.sendReport();
        return device.written().back();
    }
    std::uint32_t tick = 5000;
};

TEST_F(RadiopanelTest, ConstructionSendsTheCheckReportAndNamesTheSettingsFile) {
    RecordingDevice *device = nullptr;
    auto first = makePanel(0, &device);
    Bytes check(23, 0x00);
    check[0] = 0xFF;
    ASSERT_EQ(device->written().size(), 1u);
    EXPECT_EQ(device->written()[0], check);
    EXPECT_EQ(hostsim::log(), "check buttons passed");
    EXPECT_EQ(first->panelName(), "Radiopanel1");
    EXPECT_EQ(makePanel(1)->panelName(), "Radiopanel2");
    EXPECT_EQ(radiopanelName(3), std::string("Radiopanel4"));
    EXPECT_EQ(radiopanelName(4), std::string("Radiopanel"));

    hostsim::clearLog();
    Radiopanel refused(new RecordingDevice(false), 1);
    EXPECT_EQ(hostsim::log(), "") << "a refused check report is silent";
}

TEST_F(RadiopanelTest, KnobsTuneTheStandbyValueWithWrap) {
    auto panel = makePanel(0);
    hostsim::setInt(kCom1Stdby, 13699);
    input(*panel, rp::inputReport(Selector::Com1, Selector::Nav1, rp::kUpperFineUp));
    EXPECT_EQ(hostsim::getInt(kMode), 2);
    EXPECT_EQ(hostsim::getInt(kCom1Stdby), 11800);
    EXPECT_EQ(hostsim::getInt(kCom1), 0) << "the active value is left alone";

    hostsim::setInt(kCom1Stdby, 13650);
    input(*panel, rp::inputReport(Selector::Com1, Selector::Nav1, rp::kUpperCoarseUp));
    EXPECT_EQ(hostsim::getInt(kCom1Stdby), 11800);

    hostsim::setInt(kNav1Stdby, 10800);
    input(*panel, rp::inputReport(Selector::Com1, Selector::Nav1, rp::kLowerFineDown));
    EXPECT_EQ(hostsim::getInt(kNav1Stdby), 11795);
    input(*panel, rp::inputReport(Selector::Com1, Selector::Nav1, rp::kLowerCoarseUp));
    EXPECT_EQ(hostsim::getInt(kNav1Stdby), 10800) << "11795 + 50 passes the maximum";

    hostsim::setInt(kAdf1Stdby, 0);
    input(*panel, rp::inputReport(Selector::Adf, Selector::Nav1, rp::kUpperFineDown));
    EXPECT_EQ(hostsim::getInt(kAdf1Stdby), 1799);
}

TEST_F(RadiopanelTest, TransponderStandbyCodeIsTunedAndSwappedByTheDriver) {
    auto panel = makePanel(0);
    hostsim::setInt(kTransponder, 7000);
    input(*panel, rp::inputReport(Selector::Com1, Selector::Xpdr, rp::kLowerFineDown));
    EXPECT_EQ(panel->standbyTransponderCode(), 9999);
    input(*panel, rp::inputReport(Selector::Com1, Selector::Xpdr, rp::kLowerFineUp));
    EXPECT_EQ(panel->standbyTransponderCode(), 0);
    hostsim::setInt(kMode, 4);
    for (int i = 0; i < 78; ++i) input(*panel, rp::inputReport(Selector::Xpdr, Selector::Nav1, rp::kUpperFineUp));
    EXPECT_EQ(panel->standbyTransponderCode(), 78) << "decimal code: 77 + 1 is 78";
    EXPECT_EQ(hostsim::getInt(kMode), 4) << "the XPDR position writes no mode";

    input(*panel, rp::inputReport(Selector::Xpdr, Selector::Nav1, rp::kUpperActStby));
    EXPECT_EQ(hostsim::getInt(kTransponder), 78);
    EXPECT_EQ(panel->standbyTransponderCode(), 7000);
}

TEST_F(RadiopanelTest, FastTurnStepsSeveralTimesEachWithItsOwnWrap) {
    auto panel = makePanel(0);
    hostsim::setInt(kCom1Stdby, 13697);
    const Bytes notch = rp::inputReport(Selector::Com1, Selector::Nav1, rp::kUpperFineUp);
    const Bytes rest = rp::inputReport(Selector::Com1, Selector::Nav1);
    std::uint32_t t = 100000;
    // After a pause the filter keeps no report; the second one sets it.
    panel->handleEvent(rest.data(), 4, 0, t);
    panel->handleEvent(rest.data(), 4, 0, t += 10);
    panel->handleEvent(notch.data(), 4, 0, t += 10);  // fresh: one step
    // Twelve reports 10 ms apart: the sixth clears the fresh movement's echo,
    // the twelfth steps with the multiplier grown to 1.1^12 (three steps).
    for (int i = 0; i < 12; ++i) panel->handleEvent(rest.data(), 4, 0, t += 10);
    EXPECT_EQ(hostsim::getInt(kCom1Stdby), 11801) << "13698, then 13699, 11800, 11801";
}

TEST_F(RadiopanelTest, ReplayMovesSelectorsButNeverSwapsOrTunes) {
    auto panel = makePanel(0);
    hostsim::setInt(kCom1, 12000);
    hostsim::setInt(kCom1Stdby, 12345);
    hostsim::clearDatarefWrites();
    input(*panel, rp::inputReport(Selector::Com1, Selector::Dme, rp::kUpperActStby | rp::kUpperFineUp), 1);
    EXPECT_EQ(hostsim::getInt(kMode), 2);
    EXPECT_EQ(panel->lowerMode(), 5);
    ASSERT_EQ(hostsim::datarefWrites().size(), 1u);
    EXPECT_EQ(hostsim::datarefWrites()[0].path, kMode);
}

TEST_F(RadiopanelTest, TwoPanelsShareTheUpperModeButNotTheLowerOne) {
    auto first = makePanel(0);
    auto second = makePanel(1);
    input(*first, rp::inputReport(Selector::Nav2, Selector::Adf));
    input(*second, rp::inputReport(Selector::Com1, Selector::Dme));
    EXPECT_EQ(hostsim::getInt(kMode), 2);
    EXPECT_EQ(first->lowerMode(), 4);
    EXPECT_EQ(second->lowerMode(), 5);
}

TEST_F(RadiopanelTest, DmeOptionRetargetsTheSecondSegment) {
    auto panel = makePanel(1);
    EXPECT_FALSE(panel->dmeInSecondSegment());
    panel->toggleDmeInSecondSegment();
    EXPECT_TRUE(panel->dmeInSecondSegment());
    EXPECT_EQ(panel->settingByte(66), 1) << "unit 1's byte";
    EXPECT_EQ(panel->settingByte(64), 0);

    hostsim::setInt(kDmeStdby, 0);
    input(*panel, rp::inputReport(Selector::Dme, Selector::Nav1, rp::kUpperFineDown));
    EXPECT_EQ(hostsim::getInt(kDmeStdby), 1799);

    panel->setSettingByte(66, 2);
    EXPECT_FALSE(panel->dmeInSecondSegment()) << "only 1 means on";
    panel->toggleDmeInSecondSegment();
    EXPECT_EQ(panel->settingByte(66), 1);
    panel->toggleDmeInSecondSegment();
    EXPECT_EQ(panel->settingByte(66), 0);
}

TEST_F(RadiopanelTest, UnknownUpperModeActsOnNothing) {
    RecordingDevice *device = nullptr;
    auto panel = makePanel(0, &device);
    powerOn();
    hostsim::setInt(kMode, 9);
    hostsim::setInt(kCom1, 12345);
    hostsim::clearDatarefWrites();
    // No upper position bit: the mode stays as another plug-in left it.
    // Lower COM1, upper ACT/STBY, upper fine up.
    const Bytes report = {0x00, 0x80, 0x40, 0x01};
    input(*panel, report);
    EXPECT_TRUE(hostsim::datarefWrites().empty());

    const Bytes shown = display(*panel, *device);
    EXPECT_EQ(Bytes(shown.begin() + 1, shown.begin() + 11), Bytes(10, 0xFF));
    EXPECT_EQ(shown[11], 0x01) << "the lower row still shows COM1";
}

TEST_F(RadiopanelTest, DisplayFollowsTheCacheAndSelection) {
    RecordingDevice *device = nullptr;
    auto panel = makePanel(0, &device);
    powerOn();
    hostsim::setInt(kCom1, 12345);
    hostsim::setInt(kTransponder, 7000);
    input(*panel, rp::inputReport(Selector::Com1, Selector::Xpdr));
    rp::Displays d;
    ASSERT_TRUE(rp::decodeDisplays(display(*panel, *device), &d));
    EXPECT_EQ(d.upperActive, "123.45");
    EXPECT_EQ(d.lowerActive, " 7000");
    EXPECT_EQ(d.lowerStandby, " 0000");

    panel->toggleDmeInSecondSegment();
    hostsim::setFloat("sim/cockpit/radios/nav1_dme_dist_m", 5.5f);
    input(*panel, rp::inputReport(Selector::Dme, Selector::Xpdr));
    const Bytes shown = display(*panel, *device);
    EXPECT_EQ(Bytes(shown.begin() + 1, shown.begin() + 6), (Bytes{0xFF, 0xFF, 0x05, 0x05, 0x00}));
    // Hundredths taken in single precision from the cached value: 2.3 nm
    // shows 230 and 0.78 kt shows 078, where double math would give 229 and 77.
    hostsim::setFloat("sim/cockpit/radios/nav1_dme_dist_m", 2.3f);
    hostsim::setFloat("sim/cockpit/radios/nav1_dme_speed_kts", 0.78f);
    const Bytes near = display(*panel, *device);
    EXPECT_EQ(Bytes(near.begin() + 1, near.begin() + 11),
              (Bytes{0xFF, 0xFF, 0x02, 0x03, 0x00, 0xFF, 0xFF, 0x00, 0x07, 0x08}));

    hostsim::setInt("sim/cockpit/electrical/avionics_on", 0);
    const Bytes dark = display(*panel, *device);
    EXPECT_EQ(Bytes(dark.begin() + 1, dark.begin() + 21), Bytes(20, 0xFF));
    EXPECT_EQ(dark[0], 0x00);
}

}  // namespace
}  // namespace drovanel
