#include "switchpanel_lamps.h"

#include <algorithm>

namespace drovanel {
namespace switchpanel {

namespace {
// Counts come from the host; keep them inside the arrays they describe.
int clampCount(int count, int capacity) { return std::max(0, std::min(count, capacity)); }

bool powered(const GearLampState &state) {
    if (state.apuGenerator != 0) return true;
    const int batteries = clampCount(state.batteryCount, kMaxBatteries);
    for (int i = 0; i < batteries; ++i) {
        if (state.batteries[i] != 0) return true;
    }
    return false;
}
}  // namespace

namespace {
std::uint8_t builtInLamps(const GearLampState &state) {
    if (!powered(state)) return 0;
    const int entries = std::min({clampCount(state.deployCount, kMaxGearEntries),
                                  clampCount(state.gearTypeCount, kMaxGearEntries),
                                  kLampedGearEntries});
    std::uint8_t lamps = 0;
    for (int j = 0; j < entries; ++j) {
        if (state.gearTypes[j] < kMinRetractableGearType) continue;
        const float deploy = state.deploy[j];
        if (!(deploy > 0.0f)) continue;  // up (or no value): lamp dark
        lamps |= deploy >= 1.0f ? kGearEntryLamps[j].down : kGearEntryLamps[j].inTransit;
    }
    return lamps;
}
}  // namespace

std::uint8_t gearLampByte(const GearLampState &state) {
    return static_cast<std::uint8_t>((builtInLamps(state) & ~state.profileMask) | state.profileBits);
}

void encodeLampReport(std::uint8_t lampByte, std::uint8_t (&report)[kLampReportSize]) {
    report[0] = kLampReportId;
    report[kLampByte] = lampByte;
}

}  // namespace switchpanel
}  // namespace drovanel
