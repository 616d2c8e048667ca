#include "radiopanel_rotary.h"

#include <cstring>

namespace drovanel {
namespace radio {

namespace {

constexpr std::uint32_t kFullReportLength = 4;
constexpr int kUpperSelectorByte = 1;
constexpr int kLowerSelectorByte = 2;
constexpr int kEncoderByte = 3;

void resetFilter(RotaryFilter &filter) {
    filter.activeBit = 0;
    filter.stepMultiplier = kMinStepMultiplier;
    filter.changeCount = 0;
    filter.repeatCount = 0;
}

}  // namespace

RotationClass classifyRotation(RotaryFilter &filter, const std::uint8_t *bytes, std::uint32_t length,
                               std::uint32_t tick, std::uint32_t coalescenceTime) {
    // Unsigned subtraction keeps the gap right across the tick's wrap.
    const std::uint32_t elapsed = tick - filter.lastEventTick;
    filter.lastEventTick = tick;

    if (elapsed > coalescenceTime || length != kFullReportLength) {
        resetFilter(filter);
        return RotationClass::Fresh;
    }
    // A selector moved: whatever the encoders show belongs to a new movement.
    if (bytes[kUpperSelectorByte] != filter.lastRotaryReport[kUpperSelectorByte] ||
        bytes[kLowerSelectorByte] != filter.lastRotaryReport[kLowerSelectorByte]) {
        resetFilter(filter);
        std::memcpy(filter.lastRotaryReport, bytes, kFullReportLength);
        return RotationClass::Fresh;
    }
    const std::uint8_t previousEncoders = filter.lastRotaryReport[kEncoderByte];
    std::memcpy(filter.lastRotaryReport, bytes, kFullReportLength);
    if ((bytes[kEncoderByte] | filter.activeBit) != (previousEncoders | filter.activeBit)) {
        resetFilter(filter);
        return RotationClass::Fresh;
    }
    if ((bytes[kEncoderByte] & filter.activeBit) != 0) {
        ++filter.repeatCount;
        filter.stepMultiplier = kMinStepMultiplier;
        return RotationClass::Repeat;
    }
    filter.stepMultiplier *= kStepMultiplierGrowth;
    if (filter.stepMultiplier > kMaxStepMultiplier) filter.stepMultiplier = kMaxStepMultiplier;
    ++filter.changeCount;
    return RotationClass::Change;
}

int encoderSteps(RotaryFilter &filter, std::uint8_t bit, std::uint8_t encoderByte, RotationClass rotation,
                 std::uint32_t changeThreshold, std::uint32_t repeatThreshold) {
    const bool qualifies =
        ((encoderByte & bit) != 0 && rotation == RotationClass::Fresh) ||
        (filter.activeBit == bit &&
         ((rotation == RotationClass::Change && filter.changeCount > changeThreshold) ||
          (rotation == RotationClass::Repeat && filter.repeatCount > repeatThreshold)));
    if (!qualifies) return 0;

    filter.activeBit = bit;
    filter.changeCount = 0;
    if (rotation == RotationClass::Fresh) {
        filter.pendingBit = bit;
        filter.repeatCount = 0;
    } else if (rotation == RotationClass::Change && filter.pendingBit == bit) {
        // The first burst of changes after a fresh movement is its own echo.
        filter.pendingBit = 0;
        return 0;
    } else {
        filter.repeatCount = 0;
    }
    return static_cast<int>(filter.stepMultiplier);
}

}  // namespace radio
}  // namespace drovanel
