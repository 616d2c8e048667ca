#include "multipanel_display.h"
#include "report_hex.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "rotary_filter.h"

namespace drovanel {
namespace multipanel {
namespace {

CachedState powered() {
    CachedState state;
    state.avionicsOn = 1;
    state.batteryCount = 8;
    state.batteryOn[0] = 1;
    return state;
}

struct Built {
    std::string top, bottom;
    std::uint8_t lamps;
    std::uint8_t power;
    std::string all;
};

Built build(const CachedState &state, std::uint8_t selector, FlashPhases &phases,
            bool apFlashInFdMode = false) {
    Report report;
    buildReport(state, selector, apFlashInFdMode, phases, report);
    return {hex(report + kTopRowOffset, kRowDigits), hex(report + kBottomRowOffset, kRowDigits),
            report[kLampOffset], report[kPowerOffset], hex(report, kReportSize)};
}

TEST(MultipanelDisplay, ValuesBySelector) {
    CachedState state = powered();
    FlashPhases phases;
    state.apAltitude = 35000.0f;
    state.apVerticalSpeed = -1500.0f;
    Built b = build(state, kSelectorAlt, phases);
    EXPECT_EQ(b.top + " | " + b.bottom, "03 05 00 00 00 | EE 01 05 00 00");
    EXPECT_EQ(build(state, kSelectorVs, phases).bottom, "EE 01 05 00 00");

    state.apHeading = 5.9f;
    b = build(state, kSelectorHdg, phases);
    EXPECT_EQ(b.top + " | " + b.bottom, "FF FF 00 00 05 | FF FF FF FF 05");

    state.obs = 0.0f;
    b = build(state, kSelectorCrs, phases);
    EXPECT_EQ(b.top + " | " + b.bottom, "FF FF 00 00 00 | FF FF FF FF FF");

    state.apAirspeed = 0.78f;
    state.apAirspeedIsMach = 1;
    b = build(state, kSelectorIas, phases);
    EXPECT_EQ(b.top + " | " + b.bottom, "FF FF D0 07 08 | FF FF FF 07 08");

    // No selector position reported yet: both rows blank.
    b = build(state, 0, phases);
    EXPECT_EQ(b.top + " | " + b.bottom, "FF FF FF FF FF | FF FF FF FF FF");
}

TEST(MultipanelDisplay, SteadyAndFlashingModeLamps) {
    CachedState state = powered();
    FlashPhases phases;
    state.apMode = 2;
    state.apState = kStateHeadingHold | kStateAltitudeArmed | kStateVsClimb;
    state.backCourse = 1;
    std::uint8_t expectedSteady = kLampAp | kLampHdg | kLampVs | kLampRev;
    // The ALT lamp flashes: dark in the first report, lit in the second.
    EXPECT_EQ(build(state, kSelectorAlt, phases).lamps, expectedSteady);
    EXPECT_EQ(build(state, kSelectorAlt, phases).lamps, expectedSteady | kLampAlt);
    EXPECT_EQ(build(state, kSelectorAlt, phases).lamps, expectedSteady);

    // Engaged wins over armed: lit whatever the phase.
    state.apState = kStateNavArmed | kStateNavEngaged;
    state.apMode = 0;
    state.backCourse = 0;
    EXPECT_EQ(build(state, kSelectorAlt, phases).lamps, kLampNav);
    EXPECT_EQ(build(state, kSelectorAlt, phases).lamps, kLampNav);
}

TEST(MultipanelDisplay, FlightDirectorFlashesApOnlyWhenOptionOn) {
    CachedState state = powered();
    FlashPhases phases;
    state.apMode = 1;
    EXPECT_EQ(build(state, kSelectorAlt, phases).lamps, 0);
    EXPECT_EQ(build(state, kSelectorAlt, phases).lamps, 0);
    EXPECT_EQ(build(state, kSelectorAlt, phases, true).lamps, 0);
    EXPECT_EQ(build(state, kSelectorAlt, phases, true).lamps, kLampAp);
}

TEST(MultipanelDisplay, DisconnectFlashesApAndDarkensModeLamps) {
    CachedState state = powered();
    FlashPhases phases;
    state.apDisconnect = 1;
    state.apMode = 0;
    state.apState = kStateHeadingHold | kStateNavEngaged | kStateAltitudeHold;
    state.backCourse = 1;
    EXPECT_EQ(refreshPeriodFor(state), 170u);
    EXPECT_EQ(build(state, kSelectorAlt, phases).lamps, kLampRev);
    EXPECT_EQ(build(state, kSelectorAlt, phases).lamps, kLampAp | kLampRev);
    EXPECT_EQ(build(state, kSelectorAlt, phases).lamps, kLampRev);
    state.apDisconnect = 0;
    EXPECT_EQ(refreshPeriodFor(state), 500u);
}

TEST(MultipanelDisplay, PowerRule) {
    FlashPhases phases;
    CachedState state = powered();
    state.apMode = 2;
    state.apAltitude = 1000.0f;
    EXPECT_EQ(build(state, kSelectorAlt, phases).power, 0x00);

    state.avionicsOn = 0;
    EXPECT_EQ(build(state, kSelectorAlt, phases).all, "00 0F 0F 0F 0F 0F 0F 0F 0F 0F 0F 00 0F");

    // Batteries count only up to the number the host returned.
    state = powered();
    state.batteryOn[0] = 0;
    state.batteryOn[5] = 1;
    state.batteryCount = 5;
    EXPECT_EQ(build(state, kSelectorAlt, phases).power, 0x0F);
    state.batteryCount = 6;
    EXPECT_EQ(build(state, kSelectorAlt, phases).power, 0x00);
    state.batteryCount = 0;
    state.apuGeneratorOn = 1;
    EXPECT_EQ(build(state, kSelectorAlt, phases).power, 0x00);

    // A zeroed state (before the first update) is a dark panel.
    EXPECT_EQ(build(CachedState{}, 0, phases).power, 0x0F);
}

TEST(MultipanelDisplay, FlashPhasesAdvanceOnDarkPanel) {
    CachedState state = powered();
    state.avionicsOn = 0;
    state.apDisconnect = 1;
    FlashPhases phases;
    build(state, kSelectorAlt, phases);
    EXPECT_FALSE(phases.apFlash);
}

CachedState x737State() {
    CachedState state = powered();
    state.x737Status = 1;
    return state;
}

TEST(X737Display, ValuesComeFromTheMcp) {
    CachedState state = x737State();
    FlashPhases phases;
    state.apAltitude = 1234.0f;  // host values are not shown
    state.mcpAltitude = 35000.0f;
    state.mcpVerticalSpeed = -1500.0f;
    Built b = build(state, kSelectorAlt, phases);
    EXPECT_EQ(b.top + " | " + b.bottom, "03 05 00 00 00 | EE 01 05 00 00");
    state.mcpHeading = 90.0f;
    EXPECT_EQ(build(state, kSelectorHdg, phases).top, "FF FF 00 09 00");
    state.obs = 270.0f;
    EXPECT_EQ(build(state, kSelectorCrs, phases).top, "FF FF 02 07 00");
}

TEST(X737Display, OverspeedAlternatesTheSpeedWindow) {
    CachedState state = x737State();
    FlashPhases phases;
    state.mcpSpeed = 250.0f;
    state.mcpOverspeed = 0x10000;  // only the low 16 bits count
    EXPECT_EQ(build(state, kSelectorIas, phases).top, "FF FF 02 05 00");
    EXPECT_EQ(build(state, kSelectorIas, phases).top, "FF FF 02 05 00");

    state.mcpOverspeed = 1;
    Built first = build(state, kSelectorIas, phases);
    Built second = build(state, kSelectorIas, phases);
    Built third = build(state, kSelectorIas, phases);
    EXPECT_EQ(first.top, "FF FF 02 05 00");
    EXPECT_EQ(second.top, "FF FF D8 D5 D0");
    EXPECT_EQ(third.top, "FF FF 02 05 00");
    EXPECT_EQ(second.bottom, "FF FF 02 05 00");

    // Other selector positions leave the phase alone.
    const bool phase = phases.speedWarnFlash;
    build(state, kSelectorAlt, phases);
    EXPECT_EQ(phases.speedWarnFlash, phase);
}

TEST(X737Display, OverspeedMarkLeavesBlankPositionsBlank) {
    CachedState state = x737State();
    FlashPhases phases;
    phases.speedWarnFlash = false;
    state.mcpSpeed = 5.0f;
    state.mcpOverspeed = 1;
    EXPECT_EQ(build(state, kSelectorIas, phases).top, "FF FF D8 FF D5");
}

TEST(X737Display, LampsShowTheX737ModesEvenWithDisconnect) {
    CachedState state = x737State();
    FlashPhases phases;
    state.cmdA = 0;
    state.hdgSel = 1;
    state.altHold = 1;
    state.appToggle = 1;
    state.vsEngaged = 1;
    state.vorLoc = 1;
    state.mcpSpdMode = 1;
    state.backCourse = 1;
    state.apDisconnect = 1;
    const std::uint8_t modes =
        kLampHdg | kLampNav | kLampIas | kLampAlt | kLampApr | kLampVs | kLampRev;
    EXPECT_EQ(build(state, kSelectorAlt, phases).lamps, modes);
    EXPECT_EQ(build(state, kSelectorAlt, phases).lamps, modes | kLampAp);
    EXPECT_EQ(build(state, kSelectorAlt, phases).lamps, modes);
}

TEST(X737Display, ArmedModesFlash) {
    CachedState state = x737State();
    FlashPhases phases;
    state.vorLocArmed = 1;
    state.athrArmed = 1;
    state.vsArm = 1;
    state.fdA = 1;
    EXPECT_EQ(build(state, kSelectorAlt, phases, true).lamps, 0);
    EXPECT_EQ(build(state, kSelectorAlt, phases, true).lamps,
              kLampAp | kLampNav | kLampIas | kLampVs);
    state.cmdA = 1;
    state.fdA = 0;
    state.vorLocArmed = state.athrArmed = state.vsArm = 0;
    EXPECT_EQ(build(state, kSelectorAlt, phases, true).lamps, kLampAp);
}

TEST(X737Display, OnlyStatusOneSelectsTheX737) {
    CachedState state = powered();
    FlashPhases phases;
    state.apAltitude = 500.0f;
    state.mcpAltitude = 35000.0f;
    state.x737Status = 2;
    EXPECT_EQ(build(state, kSelectorAlt, phases).top, "FF FF 05 00 00");
}

}  // namespace
}  // namespace multipanel
}  // namespace drovanel
