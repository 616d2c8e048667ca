// A profile's values, conditions and actions against the stand-in host:
// every dataref type an aircraft publishes, every kind of action, and the
// names the simulator does not know.
#include "profile_binding.h"

#include <gtest/gtest.h>

#include "hostsim/hostsim.h"
#include "tests/recording_device.h"

namespace drovanel {
namespace profile {
namespace {

using testing_devices::journalLines;
using Lines = std::vector<std::string>;

constexpr const char *kAltDial = "laminar/B738/autopilot/mcp_alt_dial";  // number, writable
constexpr const char *kTcasShow = "laminar/B738/EFIS/tcas_ai_show";       // array[19], read-only

class ProfileBinding : public testing::Test {
protected:
    void SetUp() override {
        hostsim::reset();
        hostsim::setUserAircraft("/Aircraft/B737-800X/b738.acf");
    }
    void TearDown() override {
        EXPECT_EQ(hostsim::nullCommandFaults(), 0);
        hostsim::reset();
    }
    // A dataref named and resolved as the profile's names are.
    static ValueSource source(const char *name, int index = -1, float scale = 1.0f) {
        Profile p;
        p.multi.displays[0].value = {{name}, index, scale};
        resolveNames(p, [](const char *, bool) {});
        return p.multi.displays[0].value;
    }
    static CommandName command(const char *name) {
        Profile p;
        p.multi.knobs[0].up.name = name;
        resolveNames(p, [](const char *, bool) {});
        return p.multi.knobs[0].up;
    }
};

TEST_F(ProfileBinding, ValuesOfEveryTypeAreReadAndWritten) {
    hostsim::setFloat(kAltDial, 12000.0f);
    hostsim::setFloat("sim/cockpit/autopilot/heading_mag", 45.5f);
    hostsim::setInt("sim/cockpit/autopilot/autopilot_mode", 2);
    hostsim::setFloatAt("sim/flightmodel/engine/ENGN_mixt", 1, 0.25f);
    hostsim::setIntAt("sim/cockpit/electrical/battery_array_on", 2, 1);
    hostsim::setFloatAt(kTcasShow, 3, 7.0f);
    struct Row {
        ValueSource value;
        float read;
    };
    const Row rows[] = {
        {source(kAltDial), 12000.0f},
        {source(kAltDial, -1, 0.01f), 120.0f},
        {source("sim/cockpit/autopilot/heading_mag"), 45.5f},
        {source("sim/cockpit/autopilot/autopilot_mode"), 2.0f},
        {source("sim/flightmodel/engine/ENGN_mixt", 1), 0.25f},
        {source("sim/cockpit/electrical/battery_array_on", 2), 1.0f},
        {source(kTcasShow, 3), 7.0f},
        {source(kTcasShow, 40), 0.0f},  // past the array's end
    };
    for (const Row &row : rows) EXPECT_FLOAT_EQ(read(row.value), row.read) << row.value.ref.name;

    write(source(kAltDial), 15000.0f);
    EXPECT_FLOAT_EQ(hostsim::getFloat(kAltDial), 15000.0f);
    write(source("sim/cockpit/autopilot/autopilot_mode"), 1.0f);
    EXPECT_EQ(hostsim::getInt("sim/cockpit/autopilot/autopilot_mode"), 1);
    write(source("sim/flightmodel/engine/ENGN_mixt", 2), 0.5f);
    EXPECT_FLOAT_EQ(hostsim::getFloatAt("sim/flightmodel/engine/ENGN_mixt", 2), 0.5f);
    write(source("sim/cockpit/electrical/battery_array_on", 3), 1.0f);
    EXPECT_EQ(hostsim::getIntAt("sim/cockpit/electrical/battery_array_on", 3), 1);
    write(source(kTcasShow, 3), 9.0f);  // the aircraft's: read-only
    EXPECT_FLOAT_EQ(hostsim::getFloatAt(kTcasShow, 3), 7.0f);
}

TEST_F(ProfileBinding, ConditionsCompareTheValue) {
    struct Row {
        Compare compare;
        float operand;
        float value;
        bool holds;
    };
    const Row rows[] = {
        {Compare::NonZero, 0, 0.0f, false}, {Compare::NonZero, 0, -1.0f, true}, {Compare::Equals, 2, 2.0f, true},
        {Compare::Equals, 2, 1.0f, false},  {Compare::Above, 0.5f, 0.6f, true}, {Compare::Above, 0.5f, 0.5f, false},
        {Compare::Below, 1, 0.9f, true},    {Compare::Below, 1, 1.0f, false},
    };
    for (const Row &row : rows) {
        hostsim::setFloat(kAltDial, row.value);
        Condition c{true, source(kAltDial), row.compare, row.operand};
        EXPECT_EQ(holds(c), row.holds) << static_cast<int>(row.compare) << " " << row.value;
    }
}

TEST_F(ProfileBinding, ActionsOfEachKind) {
    Action once;
    once.kind = ActionKind::Command;
    once.command = command("laminar/B738/autopilot/heading_up");
    Action hold;
    hold.kind = ActionKind::Hold;
    hold.command = command("laminar/B738/autopilot/heading_dn");
    Action positions[2] = {once, hold};

    EXPECT_TRUE(applyPosition(positions, 2, 0));
    EXPECT_TRUE(applyPosition(positions, 2, 1));
    EXPECT_TRUE(applyPosition(positions, 2, 1));  // still held: no second begin
    EXPECT_TRUE(applyPosition(positions, 2, 0));  // leaving the position ends it
    EXPECT_EQ(journalLines(), (Lines{"once laminar/B738/autopilot/heading_up", "begin laminar/B738/autopilot/heading_dn",
                                     "end laminar/B738/autopilot/heading_dn", "once laminar/B738/autopilot/heading_up"}));

    hostsim::clearCommandJournal();
    Action toggle[2];
    for (int i = 0; i < 2; ++i) {
        toggle[i].kind = ActionKind::Toggle;
        toggle[i].command = command("laminar/B738/autopilot/autothrottle_arm_toggle");
        toggle[i].state = source("laminar/B738/autopilot/autothrottle_arm_pos");
        toggle[i].wanted = i == 1;
    }
    EXPECT_TRUE(applyPosition(toggle, 2, 0));  // both off: nothing to do
    EXPECT_TRUE(applyPosition(toggle, 2, 1));
    hostsim::setFloat("laminar/B738/autopilot/autothrottle_arm_pos", 1.0f);
    EXPECT_TRUE(applyPosition(toggle, 2, 1));
    EXPECT_EQ(journalLines(), (Lines{"once laminar/B738/autopilot/autothrottle_arm_toggle"}));

    Action write;
    write.kind = ActionKind::Write;
    write.target = source(kAltDial);
    write.value = 3000.0f;
    EXPECT_TRUE(applyAction(write));
    EXPECT_FLOAT_EQ(hostsim::getFloat(kAltDial), 3000.0f);

    Action nothing;
    nothing.kind = ActionKind::Nothing;
    EXPECT_TRUE(applyAction(nothing));

    // Unbound, or a name the simulator lacks: the built-in binding acts.
    Action unbound;
    EXPECT_FALSE(applyAction(unbound));
    Action unknown;
    unknown.kind = ActionKind::Command;
    unknown.command = command("laminar/B738/autopilot/heading_upp");
    EXPECT_FALSE(applyAction(unknown));
    EXPECT_FALSE(applyPosition(positions, 2, -1));  // no position at all
    EXPECT_EQ(journalLines().size(), 1u);
}

TEST_F(ProfileBinding, KnobStepsWithinLimitsOrWraps) {
    struct Row {
        float start;
        bool up;
        bool wrap;
        float after;
    };
    // A heading dial 0-359 by 1, and an altitude 0-50000 by 100.
    const Row headings[] = {{359, true, true, 0}, {0, false, true, 359}, {359, true, false, 359}, {10, false, false, 9}};
    const Row altitudes[] = {{49900, true, false, 50000}, {50000, true, false, 50000}, {0, false, false, 0},
                             {50000, true, true, 0}};
    Knob knob;
    knob.bound = true;
    knob.value = source(kAltDial);
    for (const Row &row : headings) {
        knob.step = 1.0f, knob.minimum = 0.0f, knob.maximum = 359.0f, knob.wrap = row.wrap;
        hostsim::setFloat(kAltDial, row.start);
        stepKnob(knob, row.up);
        EXPECT_FLOAT_EQ(hostsim::getFloat(kAltDial), row.after) << row.start;
    }
    for (const Row &row : altitudes) {
        knob.step = 100.0f, knob.minimum = 0.0f, knob.maximum = 50000.0f, knob.wrap = row.wrap;
        hostsim::setFloat(kAltDial, row.start);
        stepKnob(knob, row.up);
        EXPECT_FLOAT_EQ(hostsim::getFloat(kAltDial), row.after) << row.start;
    }
    EXPECT_TRUE(usable(knob));
    knob.value = source("laminar/B738/autopilot/no_such_dial");
    EXPECT_FALSE(usable(knob));
}

TEST_F(ProfileBinding, NamesPublishedLateResolveLater) {
    hostsim::setUserAircraft("/Aircraft/B737-800X/b738.acf", false);
    Profile p;
    p.multi.lamps[kBtnAp] = {true, {{"laminar/B738/autopilot/cmd_a_status"}}};
    p.multi.buttons[kBtnAp].kind = ActionKind::Command;
    p.multi.buttons[kBtnAp].command.name = "laminar/B738/autopilot/cmd_a_press";
    p.bip.lenses[0].condition = {true, {{"sim/cockpit/warnings/annunciators/master_caution"}}};
    std::vector<std::string> unknown;
    const auto note = [&](const char *name, bool isCommand) { unknown.push_back((isCommand ? "c " : "d ") + std::string(name)); };
    resolveNames(p, note);
    EXPECT_EQ(unknown, (Lines{"c laminar/B738/autopilot/cmd_a_press", "d laminar/B738/autopilot/cmd_a_status"}));
    EXPECT_FALSE(usable(p.multi.lamps[kBtnAp]));
    EXPECT_TRUE(usable(p.bip.lenses[0].condition));

    hostsim::publishAircraftNames();
    unknown.clear();
    resolveNames(p, note);
    EXPECT_TRUE(unknown.empty());
    EXPECT_TRUE(usable(p.multi.lamps[kBtnAp]));
    EXPECT_TRUE(usable(p.multi.buttons[kBtnAp]));
}

}  // namespace
}  // namespace profile
}  // namespace drovanel
