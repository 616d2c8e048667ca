// The Switch Panel's gear lamps: the 2-byte feature report and the lamp byte
// computed from the simulator's gear and power state. Pure functions.
#ifndef DROVANEL_PANELS_SWITCHPANEL_SWITCHPANEL_LAMPS_H
#define DROVANEL_PANELS_SWITCHPANEL_SWITCHPANEL_LAMPS_H

#include <cstddef>
#include <cstdint>

#include "switchpanel_bindings.h"

namespace drovanel {
namespace switchpanel {

constexpr std::size_t kLampReportSize = 2;
constexpr std::uint8_t kLampReportId = 0;
constexpr std::size_t kLampByte = 1;

// Lamp bits: down (green) and in transit (red) of the three lamp positions.
constexpr std::uint8_t kLamp1Down = 0x01;
constexpr std::uint8_t kLamp2Down = 0x02;
constexpr std::uint8_t kLamp3Down = 0x04;
constexpr std::uint8_t kLamp1Transit = 0x08;
constexpr std::uint8_t kLamp2Transit = 0x10;
constexpr std::uint8_t kLamp3Transit = 0x20;

constexpr std::uint8_t kAllGearLamps = 0x3F;

struct GearLampBits {
    std::uint8_t down;
    std::uint8_t inTransit;
};

// Lamps of the simulator's gear entries; entries 5 to 9 light nothing.
// Entries 3 and 4 share the third lamp position with entry 2.
constexpr GearLampBits kGearEntryLamps[] = {
    {kLamp1Down, kLamp1Transit},
    {kLamp2Down, kLamp2Transit},
    {kLamp3Down, kLamp3Transit},
    {kLamp3Down, kLamp2Transit},
    {kLamp3Down, kLamp3Transit},
};
constexpr int kLampedGearEntries = sizeof(kGearEntryLamps) / sizeof(kGearEntryLamps[0]);

// The simulator values the lamps are computed from, with how many of each
// array were read.
struct GearLampState {
    float deploy[kMaxGearEntries] = {};
    int deployCount = 0;
    int gearTypes[kMaxGearEntries] = {};
    int gearTypeCount = 0;
    int batteries[kMaxBatteries] = {};
    int batteryCount = 0;
    int apuGenerator = 0;
    // Lamps an aircraft profile decides (mask) and which of them are lit;
    // they show whatever the power.
    std::uint8_t profileMask = 0;
    std::uint8_t profileBits = 0;
};

// The lamp byte: gear down and in-transit bits, 0 without electrical power
// (no battery on and the APU generator off); the profile's lamps over it.
std::uint8_t gearLampByte(const GearLampState &state);

// The whole feature report for a lamp byte.
void encodeLampReport(std::uint8_t lampByte, std::uint8_t (&report)[kLampReportSize]);

}  // namespace switchpanel
}  // namespace drovanel

#endif
