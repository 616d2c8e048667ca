// The Radio Panel's encoder filter. A turning knob sends a stream of reports;
// the filter tells a new movement (fresh) from the continuation of one
// (change: the knob keeps turning, repeat: the same bit again), speeds the
// step up while a knob turns fast and thins out the reports that follow a
// movement. Pure: the caller passes the tick and the thresholds.
#ifndef DROVANEL_PANELS_RADIOPANEL_RADIOPANEL_ROTARY_H
#define DROVANEL_PANELS_RADIOPANEL_RADIOPANEL_ROTARY_H

#include <cstdint>

namespace drovanel {
namespace radio {

enum class RotationClass { Fresh, Change, Repeat };

constexpr float kMinStepMultiplier = 1.0f;
constexpr float kMaxStepMultiplier = 4.0f;
constexpr float kStepMultiplierGrowth = 1.1f;

struct RotaryFilter {
    std::uint8_t activeBit = 0;   // 0: none
    std::uint8_t pendingBit = 0;  // 0: none
    std::uint32_t lastEventTick = 0;
    std::uint32_t changeCount = 0;
    std::uint32_t repeatCount = 0;
    float stepMultiplier = kMinStepMultiplier;
    std::uint8_t lastRotaryReport[4] = {};
};

// Classifies one input report (length bytes, report id first) queued at tick.
RotationClass classifyRotation(RotaryFilter &filter, const std::uint8_t *bytes, std::uint32_t length,
                               std::uint32_t tick, std::uint32_t coalescenceTime);

// Decides for one encoder bit of the report's encoder byte whether it moves
// its knob's value, and updates the filter. Returns how many steps to apply
// (the step multiplier truncated, 1 to 4), or 0.
int encoderSteps(RotaryFilter &filter, std::uint8_t bit, std::uint8_t encoderByte, RotationClass rotation,
                 std::uint32_t changeThreshold, std::uint32_t repeatThreshold);

}  // namespace radio
}  // namespace drovanel

#endif
