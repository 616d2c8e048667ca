#include "rotary_filter.h"

#include <cstring>

namespace drovanel {
namespace multipanel {

namespace {
void restart(RotaryState &state) {
    state.activeBit = kNoDirection;
    state.stepMultiplier = 1.0f;
    state.changeCount = 0;
    state.repeatCount = 0;
}
}  // namespace

RotationClass classifyRotation(RotaryState &state, const std::uint8_t *bytes, std::uint32_t length,
                               std::uint32_t tick, std::uint32_t coalescenceTime) {
    const std::uint32_t elapsed = tick - state.lastEventTick;  // wraps with the tick
    state.lastEventTick = tick;

    if (elapsed > coalescenceTime || length != kRotaryReportSize) {
        restart(state);
        return RotationClass::fresh;
    }

    std::uint8_t old[kRotaryReportSize];
    std::memcpy(old, state.lastRotaryReport, kRotaryReportSize);
    std::memcpy(state.lastRotaryReport, bytes, kRotaryReportSize);

    // The bit of the direction being filtered may come and go within a run;
    // anything else that changes (byte 0 is the report id) starts afresh.
    const std::uint8_t active = state.activeBit;
    const bool continues = (old[1] | active) == (bytes[1] | active) && old[2] == bytes[2] &&
                           old[3] == bytes[3];
    if (!continues) {
        restart(state);
        return RotationClass::fresh;
    }
    if ((bytes[1] & active) != 0) {
        state.repeatCount += 1;
        state.stepMultiplier = 1.0f;
        return RotationClass::repeat;
    }
    state.stepMultiplier *= 3.0f;
    if (state.stepMultiplier > kMaxStepMultiplier) state.stepMultiplier = kMaxStepMultiplier;
    state.changeCount += 1;
    return RotationClass::change;
}

unsigned rotaryTrigger(RotaryState &state, std::uint8_t byte1, RotationClass rotation,
                       std::uint8_t direction, std::uint8_t changeThreshold,
                       std::uint8_t repeatThreshold) {
    const bool triggers =
        ((byte1 & direction) != 0 && rotation == RotationClass::fresh) ||
        (state.activeBit == direction &&
         ((rotation == RotationClass::change && state.changeCount > changeThreshold) ||
          (rotation == RotationClass::repeat && state.repeatCount > repeatThreshold)));
    if (!triggers) return 0;

    state.activeBit = direction;
    if (rotation == RotationClass::fresh) {
        state.pendingBit = direction;
        state.changeCount = 0;
        state.repeatCount = 0;
    } else if (rotation == RotationClass::change && state.pendingBit == direction) {
        // The first change trigger after a fresh pulse only re-arms.
        state.pendingBit = kNoDirection;
        state.changeCount = 0;
        return 0;
    } else {
        state.changeCount = 0;
        state.repeatCount = 0;
    }
    return static_cast<unsigned>(state.stepMultiplier);
}

std::uint8_t selectorFromByte(std::uint8_t byte1) {
    // Strongest first.
    static constexpr std::uint8_t kOrder[] = {kSelectorVs, kSelectorIas, kSelectorHdg, kSelectorCrs,
                                              kSelectorAlt};
    for (std::uint8_t bit : kOrder) {
        if ((byte1 & bit) != 0) return bit;
    }
    return 0;
}

}  // namespace multipanel
}  // namespace drovanel
