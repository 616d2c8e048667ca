// The Multi Panel's encoder filter. The encoder sends one report per detent
// pulse, and the panel repeats its last report while nothing changes, so a
// slow turn, a fast turn and a held state all arrive as runs of similar
// reports. The filter sorts each report against the previous one and decides
// when a direction steps, and by how much. Pure: no host, device or clock.
#ifndef DROVANEL_PANELS_MULTIPANEL_ROTARY_FILTER_H
#define DROVANEL_PANELS_MULTIPANEL_ROTARY_FILTER_H

#include <cstdint>

namespace drovanel {
namespace multipanel {

// Byte 1 of the input report: selector, encoder and AP button.
constexpr std::uint8_t kSelectorAlt = 0x01;
constexpr std::uint8_t kSelectorVs = 0x02;
constexpr std::uint8_t kSelectorIas = 0x04;
constexpr std::uint8_t kSelectorHdg = 0x08;
constexpr std::uint8_t kSelectorCrs = 0x10;
constexpr std::uint8_t kEncoderIncrease = 0x20;
constexpr std::uint8_t kEncoderDecrease = 0x40;
constexpr std::uint8_t kApButton = 0x80;
constexpr std::uint8_t kNoDirection = 0x00;

constexpr std::uint32_t kRotaryReportSize = 4;
constexpr float kMaxStepMultiplier = 36.0f;

enum class RotationClass : int { fresh = 0, change = 1, repeat = -1 };

struct RotaryState {
    std::uint8_t activeBit = kNoDirection;   // direction being filtered
    std::uint8_t pendingBit = kNoDirection;  // direction whose next change trigger is swallowed
    std::uint32_t lastEventTick = 0;
    std::uint32_t changeCount = 0;
    std::uint32_t repeatCount = 0;
    float stepMultiplier = 1.1f;
    std::uint8_t lastRotaryReport[kRotaryReportSize] = {};
};

// Sorts one report (any length; only 4-byte reports continue a run) queued
// at tick against the previous one. Ticks wrap at 32 bits.
RotationClass classifyRotation(RotaryState &state, const std::uint8_t *bytes, std::uint32_t length,
                               std::uint32_t tick, std::uint32_t coalescenceTime);

// Whether direction (kEncoderIncrease or kEncoderDecrease) triggers on this
// report's byte 1, and how many steps it makes (0 when it does not, or when
// a trigger is swallowed). Callers examine the decrease direction first.
unsigned rotaryTrigger(RotaryState &state, std::uint8_t byte1, RotationClass rotation,
                       std::uint8_t direction, std::uint8_t changeThreshold,
                       std::uint8_t repeatThreshold);

// The selector position carried in byte 1; when several bits are set the
// winner is, from strongest: VS, IAS, HDG, CRS, ALT. 0 when none is set.
std::uint8_t selectorFromByte(std::uint8_t byte1);

}  // namespace multipanel
}  // namespace drovanel

#endif
