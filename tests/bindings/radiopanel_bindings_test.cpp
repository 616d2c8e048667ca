// The Radio Panel's binding table driven through the host: every selector
// position of both rows, with and without the DME option, shows the values
// of the datarefs it should (each dataref holds a value no other does), and
// its ACT/STBY button swaps the radio it tunes.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "bindings_support.h"
#include "hostsim/panels/radiopanel.h"
#include "radiopanel/radiopanel.h"

namespace drovanel {
namespace {

namespace rp = hostsim::radiopanel;
using bindings::RecordingDevice;
using rp::Selector;

struct Value {
    const char *path;
    float value;  // ints are whole
};

// A distinct value in every dataref the displays read. Distances and speeds
// are exact in binary, so their hundredths are the same in every build.
const Value kValues[] = {
    {"sim/cockpit/radios/nav1_freq_hz", 11010},       {"sim/cockpit/radios/nav1_stdby_freq_hz", 11020},
    {"sim/cockpit/radios/nav2_freq_hz", 11030},       {"sim/cockpit/radios/nav2_stdby_freq_hz", 11040},
    {"sim/cockpit/radios/com1_freq_hz", 12010},       {"sim/cockpit/radios/com1_stdby_freq_hz", 12020},
    {"sim/cockpit/radios/com2_freq_hz", 12030},       {"sim/cockpit/radios/com2_stdby_freq_hz", 12040},
    {"sim/cockpit/radios/adf1_freq_hz", 201},         {"sim/cockpit/radios/adf1_stdby_freq_hz", 202},
    {"sim/cockpit/radios/adf2_freq_hz", 203},         {"sim/cockpit/radios/adf2_stdby_freq_hz", 204},
    {"sim/cockpit/radios/dme_freq_hz", 205},          {"sim/cockpit/radios/dme_stdby_freq_hz", 206},
    {"sim/cockpit/radios/nav1_dme_dist_m", 1.25f},    {"sim/cockpit/radios/nav1_dme_speed_kts", 1.5f},
    {"sim/cockpit/radios/nav2_dme_dist_m", 1.75f},    {"sim/cockpit/radios/nav2_dme_speed_kts", 2.25f},
    {"sim/cockpit/radios/adf1_dme_dist_m", 2.5f},     {"sim/cockpit/radios/adf1_dme_speed_kts", 2.75f},
    {"sim/cockpit/radios/standalone_dme_dist_m", 3.25f}, {"sim/cockpit/radios/standalone_dme_speed_kts", 3.5f},
    {"sim/cockpit/radios/transponder_code", 4321},
};

struct PositionRow {
    bool upper;  // which row the selector is on
    Selector selector;
    bool dmeOption;
    const char *active;   // the row's displays
    const char *standby;
    const char *tunedActive;  // what its ACT/STBY button swaps (none for XPDR)
    const char *tunedStandby;
};

constexpr const char *kNav1 = "sim/cockpit/radios/nav1_freq_hz", *kNav1Stdby = "sim/cockpit/radios/nav1_stdby_freq_hz";
constexpr const char *kNav2 = "sim/cockpit/radios/nav2_freq_hz", *kNav2Stdby = "sim/cockpit/radios/nav2_stdby_freq_hz";
constexpr const char *kCom1 = "sim/cockpit/radios/com1_freq_hz", *kCom1Stdby = "sim/cockpit/radios/com1_stdby_freq_hz";
constexpr const char *kCom2 = "sim/cockpit/radios/com2_freq_hz", *kCom2Stdby = "sim/cockpit/radios/com2_stdby_freq_hz";
constexpr const char *kAdf1 = "sim/cockpit/radios/adf1_freq_hz", *kAdf1Stdby = "sim/cockpit/radios/adf1_stdby_freq_hz";
constexpr const char *kAdf2 = "sim/cockpit/radios/adf2_freq_hz", *kAdf2Stdby = "sim/cockpit/radios/adf2_stdby_freq_hz";
constexpr const char *kDme = "sim/cockpit/radios/dme_freq_hz", *kDmeStdby = "sim/cockpit/radios/dme_stdby_freq_hz";

const PositionRow kRows[] = {
    {true, Selector::Nav1, false, "110.10", "110.20", kNav1, kNav1Stdby},
    {true, Selector::Nav2, false, "110.30", "110.40", kNav2, kNav2Stdby},
    {true, Selector::Com1, false, "120.10", "120.20", kCom1, kCom1Stdby},
    {true, Selector::Com2, false, "120.30", "120.40", kCom2, kCom2Stdby},
    {true, Selector::Adf, false, "  201", "  202", kAdf1, kAdf1Stdby},
    {true, Selector::Adf, true, "  201", "  202", kAdf1, kAdf1Stdby},
    {true, Selector::Dme, false, "  203", "  204", kAdf2, kAdf2Stdby},
    {true, Selector::Dme, true, "  125", "  150", kDme, kDmeStdby},  // NAV1 DME distance, speed
    {true, Selector::Xpdr, false, " 4321", " 0000", nullptr, nullptr},
    {false, Selector::Nav1, false, "110.10", "110.20", kNav1, kNav1Stdby},
    {false, Selector::Nav2, false, "110.30", "110.40", kNav2, kNav2Stdby},
    {false, Selector::Com1, false, "120.10", "120.20", kCom1, kCom1Stdby},
    {false, Selector::Com2, false, "120.30", "120.40", kCom2, kCom2Stdby},
    {false, Selector::Adf, false, "  203", "  204", kAdf2, kAdf2Stdby},  // shows the ADF2 it tunes
    {false, Selector::Adf, true, "  250", "  275", kDme, kDmeStdby},    // ADF1 DME distance, speed
    {false, Selector::Dme, false, "  203", "  204", kAdf2, kAdf2Stdby},
    {false, Selector::Dme, true, "  175", "  225", kAdf2, kAdf2Stdby},  // NAV2 DME distance, speed
    {false, Selector::Xpdr, false, " 4321", " 0000", nullptr, nullptr},
};

class RadiopanelBindingsTest : public testing::Test {
protected:
    void TearDown() override { hostsim::reset(); }

    void setUpAircraft() {
        hostsim::reset();
        hostsim::setInt("sim/cockpit/electrical/avionics_on", 1);
        hostsim::setIntAt("sim/cockpit/electrical/battery_array_on", 0, 1);
        for (const Value &v : kValues) hostsim::setFloat(v.path, v.value);
    }
    void input(Radiopanel &panel, const PositionRow &row, unsigned controls = rp::kNoControl) {
        tick_ += 1000;
        const Selector upper = row.upper ? row.selector : Selector::Nav1;
        const Selector lower = row.upper ? Selector::Nav1 : row.selector;
        const auto report = rp::inputReport(upper, lower, controls);
        panel.handleEvent(report.data(), static_cast<std::uint32_t>(report.size()), 0, tick_);
    }
    std::uint32_t tick_ = 10000;
};

TEST_F(RadiopanelBindingsTest, EachPositionShowsAndSwapsItsOwnDatarefs) {
    for (const PositionRow &row : kRows) {
        SCOPED_TRACE(std::string(row.upper ? "upper " : "lower ") + row.active + (row.dmeOption ? " DME option" : ""));
        setUpAircraft();
        auto *device = new RecordingDevice;
        Radiopanel panel(device, 0);
        if (row.dmeOption) panel.toggleDmeInSecondSegment();
        input(panel, row);
        panel.update();
        panel.sendReport();
        rp::Displays shown;
        ASSERT_TRUE(rp::decodeDisplays(device->latest(), &shown));
        EXPECT_EQ(row.upper ? shown.upperActive : shown.lowerActive, row.active);
        EXPECT_EQ(row.upper ? shown.upperStandby : shown.lowerStandby, row.standby);

        if (row.tunedActive == nullptr) continue;
        const int active = hostsim::getInt(row.tunedActive), standby = hostsim::getInt(row.tunedStandby);
        input(panel, row, row.upper ? rp::kUpperActStby : rp::kLowerActStby);
        EXPECT_EQ(hostsim::getInt(row.tunedActive), standby);
        EXPECT_EQ(hostsim::getInt(row.tunedStandby), active);
    }
}

}  // namespace
}  // namespace drovanel
