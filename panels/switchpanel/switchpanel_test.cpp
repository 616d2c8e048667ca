#include "switchpanel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hostsim/hostsim.h"
#include "hostsim/panels/switchpanel.h"
#include "tests/recording_device.h"

namespace drovanel {
namespace {

namespace sim = hostsim::switchpanel;
using sim::Magneto;
using sim::Switches;

// Records lamp reports; may refuse them.
class RecordingDevice : public HidDevice {
public:
    int read(std::uint8_t *, int, const wchar_t *) override { return kReadCancelled; }
    void cancel() override {}
    bool setFeature(const std::uint8_t *buffer, int size) override {
        if (refuse) return false;
        reports.emplace_back(buffer, buffer + size);
        return true;
    }
    bool getFeature(std::uint8_t *, int) override { return false; }

    bool refuse = false;
    std::vector<std::vector<std::uint8_t>> reports;
};

std::vector<std::string> journal() { return testing_devices::journalLines(); }

std::vector<std::string> writes() {
    std::vector<std::string> lines;
    for (const auto &w : hostsim::datarefWrites()) {
        lines.push_back(w.path + "[" + std::to_string(w.index) + "]=" +
                        std::to_string(static_cast<int>(w.value)) + " x" + std::to_string(w.count));
    }
    return lines;
}

int countOf(const std::vector<std::string> &lines, const std::string &line) {
    int n = 0;
    for (const auto &l : lines) n += l == line ? 1 : 0;
    return n;
}

// A driver over a recording device, its threads not started: the tests call
// the operations themselves on this (the simulator's) thread.
class SwitchpanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        hostsim::reset();
        // A retractable-gear twin with one battery and two generators.
        hostsim::setInt("sim/aircraft/engine/acf_num_engines", 2);
        for (int i = 0; i < 3; ++i) hostsim::setIntAt("sim/aircraft/parts/acf_gear_type", i, 2);
        hostsim::setInt("sim/aircraft/electrical/num_batteries", 1);
        hostsim::setInt("sim/aircraft/electrical/num_generators", 2);
        device_ = new RecordingDevice;
        panel_ = new Switchpanel(device_);
        clearRecords();
    }
    void TearDown() override {
        EXPECT_EQ(hostsim::nullCommandFaults(), 0);
        panel_->teardown();
        delete panel_;
    }

    void clearRecords() {
        hostsim::clearCommandJournal();
        hostsim::clearDatarefWrites();
        hostsim::clearLog();
    }

    void apply(const Switches &switches, std::uint8_t flag = 0) {
        const auto report = sim::inputReport(switches);
        panel_->handleEvent(report.data(), static_cast<std::uint32_t>(report.size()), flag, 0);
    }

    RecordingDevice *device_ = nullptr;  // owned by the panel
    Switchpanel *panel_ = nullptr;
};

TEST_F(SwitchpanelTest, ReportIsAppliedWholeInPanelOrder) {
    Switches s;
    s.battery = true;
    s.avionics = true;
    s.deIce = true;
    s.beacon = true;
    s.magneto = Magneto::Left;
    s.gear = sim::GearLever::Down;
    apply(s);

    const std::vector<std::string> expected = {
        "once sim/systems/avionics_on",
        "once sim/flight_controls/cowl_flaps_open",
        "once sim/ice/wing_heat0_on",
        "once sim/ice/wing_heat1_on",
        "once sim/fuel/fuel_pump_1_off",
        "once sim/fuel/fuel_pump_2_off",
        "once sim/ice/pitot_heat0_off",
        "once sim/igniters/igniter_arm_on_1",
        "once sim/magnetos/magnetos_left_1",
        "once sim/igniters/igniter_arm_on_2",
        "once sim/magnetos/magnetos_left_2",
        "once sim/lights/beacon_lights_on",
        "once sim/lights/landing_lights_off",
        "once sim/lights/nav_lights_off",
        "once sim/lights/strobe_lights_off",
        "once sim/lights/taxi_lights_off",
        "once sim/flight_controls/landing_gear_down",
    };
    EXPECT_EQ(journal(), expected);

    const std::vector<std::string> expectedWrites = {
        "sim/cockpit2/ice/ice_surfce_heat_on[0]=1 x1",
        "sim/cockpit2/ice/ice_window_heat_on[0]=1 x1",
        "sim/cockpit2/ice/ice_inlet_heat_on[0]=1 x1",
        "sim/cockpit2/ice/ice_prop_heat_on[0]=1 x1",
        "sim/cockpit2/electrical/generator_on[0]=0 x2",
        "sim/cockpit/electrical/battery_array_on[0]=1 x1",
        "sim/cockpit/electrical/cockpit_lights[0]=0 x1",
        "sim/cockpit2/ice/ice_pitot_heat_on_pilot[0]=0 x1",
    };
    EXPECT_EQ(writes(), expectedWrites);
    EXPECT_EQ(hostsim::getIntAt("sim/cockpit/electrical/battery_array_on", 0), 1);
}

TEST_F(SwitchpanelTest, OneSwitchFlippedResendsEverySwitchIncludingTheStarter) {
    Switches s;
    s.magneto = Magneto::Start;
    apply(s);
    const auto first = journal();
    ASSERT_EQ(countOf(first, "begin sim/engines/engage_starters"), 1);

    // The flipped switch arrives as a replay: applied the same way.
    clearRecords();
    s.nav = true;
    apply(s, 1);
    auto second = journal();
    ASSERT_EQ(second.size(), first.size());
    EXPECT_EQ(countOf(second, "once sim/lights/nav_lights_on"), 1);
    EXPECT_EQ(countOf(second, "once sim/lights/nav_lights_off"), 0);
    EXPECT_EQ(second.back(), "begin sim/engines/engage_starters");
    for (auto &line : second) {
        if (line == "once sim/lights/nav_lights_on") line = "once sim/lights/nav_lights_off";
    }
    EXPECT_EQ(second, first);
}

// Every report at START begins the starter again and each at BOTH ends it
// once: teardown ends whatever is left, and nothing when nothing is.
TEST_F(SwitchpanelTest, TeardownEndsEveryStarterBeginNotYetEnded) {
    Switches s;
    for (Magneto position : {Magneto::Start, Magneto::Start, Magneto::Both, Magneto::Start}) {
        s.magneto = position;
        apply(s);
    }
    clearRecords();
    panel_->teardown();
    EXPECT_EQ(journal(), std::vector<std::string>(2, "end sim/engines/engage_starters"));
    EXPECT_EQ(hostsim::log(), "");

    delete panel_;
    panel_ = new Switchpanel(new RecordingDevice);
    s.magneto = Magneto::Both;
    apply(s);
    clearRecords();
    panel_->teardown();
    EXPECT_TRUE(journal().empty());
}

TEST_F(SwitchpanelTest, ShortReportAppliesOnlyTheBytesItHas) {
    const std::uint8_t report[4] = {0, 0x04, 0xFF, 0xFF};
    panel_->handleEvent(report, 2, 0, 0);
    const auto lines = journal();
    EXPECT_EQ(countOf(lines, "once sim/systems/avionics_on"), 1);
    EXPECT_EQ(countOf(lines, "once sim/lights/beacon_lights_on"), 0);
    EXPECT_EQ(countOf(lines, "once sim/flight_controls/landing_gear_up"), 0);

    clearRecords();
    panel_->handleEvent(report, 1, 0, 0);
    EXPECT_TRUE(journal().empty());
    EXPECT_TRUE(writes().empty());
}

TEST_F(SwitchpanelTest, GearLeverNeedsRetractableGearReadFresh) {
    for (int i = 0; i < 10; ++i) hostsim::setIntAt("sim/aircraft/parts/acf_gear_type", i, 1);
    Switches s;
    s.gear = sim::GearLever::Down;
    apply(s);
    s.gear = sim::GearLever::Up;
    apply(s);
    EXPECT_EQ(countOf(journal(), "once sim/flight_controls/landing_gear_down"), 0);
    EXPECT_EQ(countOf(journal(), "once sim/flight_controls/landing_gear_up"), 0);

    // Any one retractable entry, even the last, enables the lever.
    hostsim::setIntAt("sim/aircraft/parts/acf_gear_type", 9, 2);
    apply(s);
    EXPECT_EQ(countOf(journal(), "once sim/flight_controls/landing_gear_up"), 1);
}

TEST_F(SwitchpanelTest, GeneratorAndBatteryEntriesLimitedByCountsAndArray) {
    const char *generators = "sim/cockpit2/electrical/generator_on";
    const char *batteries = "sim/cockpit/electrical/battery_array_on";
    hostsim::setIntAt(generators, 2, 1);  // a third generator the aircraft does not count
    hostsim::setInt("sim/aircraft/electrical/num_batteries", 12);

    Switches s;
    s.generator = true;
    s.battery = true;
    apply(s);
    EXPECT_EQ(hostsim::getIntAt(generators, 0), 1);
    EXPECT_EQ(hostsim::getIntAt(generators, 1), 1);
    EXPECT_EQ(countOf(writes(), std::string(generators) + "[0]=1 x2"), 1);
    EXPECT_EQ(countOf(writes(), std::string(batteries) + "[0]=1 x8"), 1);

    s.generator = false;
    apply(s);
    EXPECT_EQ(hostsim::getIntAt(generators, 0), 0);
    EXPECT_EQ(hostsim::getIntAt(generators, 2), 1);

    // No batteries counted: nothing written.
    hostsim::setInt("sim/aircraft/electrical/num_batteries", 0);
    clearRecords();
    apply(s);
    for (const auto &line : writes()) EXPECT_EQ(line.find(batteries), std::string::npos) << line;
}

TEST_F(SwitchpanelTest, EnginesFollowTheCountUpToEight) {
    hostsim::setInt("sim/aircraft/engine/acf_num_engines", 10);
    Switches s;
    s.magneto = Magneto::Right;
    apply(s);
    auto lines = journal();
    for (int e = 1; e <= 8; ++e) {
        EXPECT_EQ(countOf(lines, "once sim/magnetos/magnetos_right_" + std::to_string(e)), 1) << e;
    }
    EXPECT_EQ(countOf(lines, "once sim/magnetos/magnetos_right_9"), 0);
    EXPECT_EQ(countOf(lines, "once sim/magnetos/magnetos_right_10"), 0);

    // Another aircraft: the per-engine commands follow its count.
    hostsim::setInt("sim/aircraft/engine/acf_num_engines", 1);
    clearRecords();
    apply(s);
    lines = journal();
    EXPECT_EQ(countOf(lines, "once sim/magnetos/magnetos_right_1"), 1);
    EXPECT_EQ(countOf(lines, "once sim/magnetos/magnetos_right_2"), 0);

    // No engines: no per-engine command, START flags every engine off.
    hostsim::setInt("sim/aircraft/engine/acf_num_engines", 0);
    clearRecords();
    s.magneto = Magneto::Start;
    apply(s);
    for (const auto &line : journal()) {
        EXPECT_TRUE(line.find("igniters/") == std::string::npos &&
                    line.find("magnetos/") == std::string::npos &&
                    line.find("shut_down_") == std::string::npos)
            << line;
    }
    EXPECT_EQ(countOf(writes(), "sim/cockpit2/engine/actuators/fadec_on[0]=0 x8"), 1);
}

TEST_F(SwitchpanelTest, MagnetoOffCutsEnginesAndShutsDown) {
    hostsim::setFloatAt("sim/flightmodel/engine/ENGN_mixt", 1, 0.8f);
    hostsim::setIntAt("sim/cockpit2/engine/actuators/ignition_on", 0, 1);
    Switches s;  // rotary at OFF
    apply(s);

    const auto allWrites = writes();
    ASSERT_GE(allWrites.size(), 4u);
    const std::vector<std::string> expectedWrites = {
        "sim/flightmodel/engine/ENGN_mixt[0]=0 x8",
        "sim/cockpit2/engine/actuators/igniter_on[0]=0 x8",
        "sim/cockpit2/engine/actuators/auto_ignite_on[0]=0 x8",
        "sim/cockpit2/engine/actuators/ignition_on[0]=0 x8",
    };
    EXPECT_EQ(std::vector<std::string>(allWrites.end() - 4, allWrites.end()), expectedWrites);
    EXPECT_EQ(hostsim::getFloatAt("sim/flightmodel/engine/ENGN_mixt", 1), 0.0f);
    EXPECT_EQ(hostsim::getIntAt("sim/cockpit2/engine/actuators/ignition_on", 0), 0);

    const auto lines = journal();
    const std::vector<std::string> expectedRotary = {
        "once sim/igniters/igniter_arm_off_1", "once sim/starters/shut_down_1",
        "once sim/igniters/igniter_arm_off_2", "once sim/starters/shut_down_2",
        "once sim/starters/shut_down",         "once sim/electrical/inverters_off",
    };
    // The rotary's commands come after the byte-1 switches and before the lights.
    const std::vector<std::string> rotary(lines.begin() + 7, lines.begin() + 13);
    EXPECT_EQ(rotary, expectedRotary);
}

TEST_F(SwitchpanelTest, StartHoldsTheStarterUntilBoth) {
    Switches s;
    s.magneto = Magneto::Start;
    apply(s);
    const auto allWrites = writes();
    ASSERT_GE(allWrites.size(), 5u);
    const std::vector<std::string> startWrites(allWrites.end() - 5, allWrites.end());
    const std::vector<std::string> expectedStart = {
        "sim/cockpit2/engine/actuators/fadec_on[0]=1 x8",
        "sim/flightmodel/engine/ENGN_mixt[0]=1 x8",
        "sim/cockpit2/engine/actuators/igniter_on[0]=1 x8",
        "sim/cockpit2/engine/actuators/auto_ignite_on[0]=1 x8",
        "sim/cockpit2/engine/actuators/ignition_on[0]=1 x8",
    };
    EXPECT_EQ(startWrites, expectedStart);
    // Engines 1 and 2 only.
    EXPECT_EQ(hostsim::getIntAt("sim/cockpit2/engine/actuators/fadec_on", 1), 1);
    EXPECT_EQ(hostsim::getIntAt("sim/cockpit2/engine/actuators/fadec_on", 2), 0);
    EXPECT_EQ(hostsim::getFloatAt("sim/flightmodel/engine/ENGN_mixt", 1), 1.0f);
    EXPECT_EQ(hostsim::getFloatAt("sim/flightmodel/engine/ENGN_mixt", 2), 0.0f);
    EXPECT_EQ(journal().back(), "begin sim/engines/engage_starters");

    clearRecords();
    s.magneto = Magneto::Both;
    apply(s);
    const auto lines = journal();
    const std::vector<std::string> expectedBoth = {
        "once sim/electrical/inverters_on",       "end sim/engines/engage_starters",
        "once sim/igniters/igniter_contin_off_1", "once sim/igniters/igniter_arm_on_1",
        "once sim/magnetos/magnetos_both_1",     "once sim/igniters/igniter_contin_off_2",
        "once sim/igniters/igniter_arm_on_2",    "once sim/magnetos/magnetos_both_2",
    };
    ASSERT_GE(lines.size(), expectedBoth.size());
    EXPECT_EQ(std::vector<std::string>(lines.end() - expectedBoth.size(), lines.end()), expectedBoth);
}

TEST_F(SwitchpanelTest, MissingBindingsAreLookedUpAgain) {
    hostsim::hideCommand("sim/lights/taxi_lights_on");
    hostsim::unpublish("sim/cockpit/electrical/cockpit_lights");
    Switches s;
    s.taxi = true;
    s.panelLights = true;
    apply(s);
    EXPECT_EQ(countOf(journal(), "once sim/lights/taxi_lights_on"), 0);
    EXPECT_EQ(hostsim::getFloat("sim/cockpit/electrical/cockpit_lights"), 0.0f);

    // Published later (another plug-in, another aircraft): found at the next report.
    hostsim::publish("sim/cockpit/electrical/cockpit_lights");
    apply(s);
    EXPECT_EQ(hostsim::getFloat("sim/cockpit/electrical/cockpit_lights"), 1.0f);
}

TEST_F(SwitchpanelTest, LampReportFromTheCachedGearAndPower) {
    // Before the first update the cache is empty: all lamps dark.
    testing::internal::CaptureStdout();
    panel_->sendReport();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "feature set\n");
    ASSERT_EQ(device_->reports.size(), 1u);
    EXPECT_EQ(device_->reports[0], (std::vector<std::uint8_t>{0x00, 0x00}));

    hostsim::setFloatAt("sim/aircraft/parts/acf_gear_deploy", 0, 1.0f);
    hostsim::setFloatAt("sim/aircraft/parts/acf_gear_deploy", 1, 0.5f);
    hostsim::setIntAt("sim/cockpit/electrical/battery_array_on", 0, 1);
    panel_->update();
    // Changes after the update are not seen until the next one.
    hostsim::setFloatAt("sim/aircraft/parts/acf_gear_deploy", 1, 1.0f);
    testing::internal::CaptureStdout();
    panel_->sendReport();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "feature set\n");
    EXPECT_EQ(device_->reports.back(), (std::vector<std::uint8_t>{0x00, 0x01 | 0x10}));
    EXPECT_EQ(sim::gearLampsText(device_->reports.back()), "1 down, 2 in transit, 3 off");

    // Battery off and no APU generator: dark even with the gear down.
    hostsim::setIntAt("sim/cockpit/electrical/battery_array_on", 0, 0);
    panel_->update();
    device_->refuse = true;
    testing::internal::CaptureStdout();
    panel_->sendReport();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "feature not set\n");
    device_->refuse = false;
    panel_->sendReport();
    EXPECT_EQ(device_->reports.back(), (std::vector<std::uint8_t>{0x00, 0x00}));
}

}  // namespace
}  // namespace drovanel
