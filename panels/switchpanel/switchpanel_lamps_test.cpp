#include "switchpanel_lamps.h"

#include <gtest/gtest.h>

namespace drovanel {
namespace switchpanel {
namespace {

// A powered aircraft with retractable gear on every entry and all legs up.
GearLampState poweredRetractable() {
    GearLampState state;
    state.deployCount = kMaxGearEntries;
    state.gearTypeCount = kMaxGearEntries;
    for (int &type : state.gearTypes) type = 2;
    state.batteryCount = 1;
    state.batteries[0] = 1;
    return state;
}

std::uint8_t lampsWithEntry(int entry, float deploy) {
    GearLampState state = poweredRetractable();
    state.deploy[entry] = deploy;
    return gearLampByte(state);
}

TEST(SwitchpanelLamps, EachGearEntryLightsItsDownOrTransitBit) {
    EXPECT_EQ(lampsWithEntry(0, 1.0f), 0x01);
    EXPECT_EQ(lampsWithEntry(0, 0.3f), 0x08);
    EXPECT_EQ(lampsWithEntry(1, 0.5f), 0x10);
    EXPECT_EQ(lampsWithEntry(1, 1.0f), 0x02);
    EXPECT_EQ(lampsWithEntry(2, 1.0f), 0x04);
    EXPECT_EQ(lampsWithEntry(2, 0.5f), 0x20);
    EXPECT_EQ(lampsWithEntry(3, 1.0f), 0x04);
    EXPECT_EQ(lampsWithEntry(3, 0.5f), 0x10);
    EXPECT_EQ(lampsWithEntry(4, 1.0f), 0x04);
    EXPECT_EQ(lampsWithEntry(4, 0.5f), 0x20);
    for (int entry = 5; entry < kMaxGearEntries; ++entry) {
        EXPECT_EQ(lampsWithEntry(entry, 1.0f), 0x00) << "entry " << entry;
    }
    // Up, and values only a broken host would give, light nothing.
    EXPECT_EQ(lampsWithEntry(0, 0.0f), 0x00);
    EXPECT_EQ(lampsWithEntry(0, -0.2f), 0x00);

    GearLampState state = poweredRetractable();
    state.deploy[0] = state.deploy[2] = 1.0f;
    state.deploy[1] = 0.99f;
    EXPECT_EQ(gearLampByte(state), 0x01 | 0x10 | 0x04);
}

TEST(SwitchpanelLamps, FixedGearAndUnreadEntriesStayDark) {
    GearLampState state = poweredRetractable();
    state.deploy[0] = state.deploy[1] = 1.0f;
    state.gearTypes[0] = 1;  // fixed
    EXPECT_EQ(gearLampByte(state), 0x02);

    // Only entries below both counts read count.
    state.gearTypeCount = 1;
    EXPECT_EQ(gearLampByte(state), 0x00);
    state.gearTypeCount = kMaxGearEntries;
    state.deployCount = 1;
    EXPECT_EQ(gearLampByte(state), 0x00);

    // A count beyond the buffer is held to it.
    state.deployCount = 1000;
    EXPECT_EQ(gearLampByte(state), 0x02);
}

TEST(SwitchpanelLamps, NoPowerMeansDarkEvenWithGearDown) {
    GearLampState state = poweredRetractable();
    state.deploy[0] = 1.0f;
    state.batteries[0] = 0;
    EXPECT_EQ(gearLampByte(state), 0x00);

    state.apuGenerator = 1;
    EXPECT_EQ(gearLampByte(state), 0x01);

    // A battery on beyond the entries read does not power the lamps.
    state.apuGenerator = 0;
    state.batteries[3] = 1;
    EXPECT_EQ(gearLampByte(state), 0x00);
    state.batteryCount = 4;
    EXPECT_EQ(gearLampByte(state), 0x01);
}

}  // namespace
}  // namespace switchpanel
}  // namespace drovanel
