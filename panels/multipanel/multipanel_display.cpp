#include "multipanel_display.h"

#include "rotary_filter.h"
#include "single_precision.h"

namespace drovanel {
namespace multipanel {

namespace {
// Magnitude of a truncated value; INT32_MIN has none of its own.
std::int32_t magnitude(std::int32_t v) {
    if (v == INT32_MIN) return INT32_MAX;
    return v < 0 ? -v : v;
}

void showSame(std::int32_t v, bool leadingZeros, bool decimalPoint, Report report) {
    encodeTopRow(v, leadingZeros, decimalPoint, report + kTopRowOffset);
    // The bottom row never has leading zeros or a point, and blanks a lone 0.
    encodeBottomRow(v, false, report + kBottomRowOffset);
}
}  // namespace

void encodeValues(const DisplayValues &values, std::uint8_t selector, Report report) {
    switch (selector) {
        case kSelectorAlt:
        case kSelectorVs: {
            encodeTopRow(truncateToInt(values.altitude), false, false, report + kTopRowOffset);
            const std::int32_t vs = truncateToInt(values.verticalSpeed);
            encodeBottomRow(magnitude(vs), vs < 0, report + kBottomRowOffset);
            break;
        }
        case kSelectorIas: {
            // Mach is shown as hundredths, scaled in single precision before
            // truncation so that 0.78 shows 78.
            const float shown = values.speedIsMach ? values.speed * 100.0f : values.speed;
            showSame(truncateToInt(shown), values.speedIsMach, values.speedIsMach, report);
            break;
        }
        case kSelectorHdg:
            showSame(truncateToInt(values.heading), true, false, report);
            break;
        case kSelectorCrs:
            showSame(truncateToInt(values.course), true, false, report);
            break;
        default:
            break;  // no position reported yet: rows stay blank
    }
}

void applyProfileValues(const ProfileOverrides &overrides, DisplayValues &values) {
    float *const fields[] = {&values.altitude, &values.verticalSpeed, &values.speed, &values.heading,
                             &values.course};
    for (int i = 0; i < 5; ++i) {
        if ((overrides.displayMask & (1u << i)) != 0) *fields[i] = overrides.display[i];
    }
    // A profile's own speed is knots unless it says when it is Mach.
    if (overrides.machBound) {
        values.speedIsMach = overrides.mach;
    } else if ((overrides.displayMask & (1u << 2)) != 0) {
        values.speedIsMach = false;
    }
}

bool panelPowered(const CachedState &state) {
    if (state.avionicsOn == 0) return false;
    if (state.apuGeneratorOn != 0) return true;
    int count = state.batteryCount;
    if (count > kBatteryElements) count = kBatteryElements;
    for (int i = 0; i < count; ++i) {
        if (state.batteryOn[i] != 0) return true;
    }
    return false;
}

void buildDefaultReport(const CachedState &state, std::uint8_t selector, bool apFlashInFdMode,
                        FlashPhases &phases, Report report) {
    beginReport(report);
    DisplayValues values{state.apAltitude, state.apVerticalSpeed, state.apAirspeed,
                         state.apAirspeedIsMach != 0, state.apHeading, state.obs};
    applyProfileValues(state.overrides, values);
    encodeValues(values, selector, report);

    // The disconnect annunciator darkens every mode lamp so that the
    // flashing AP lamp stands out.
    const bool disconnect = state.apDisconnect != 0;
    const int ap = disconnect ? 0 : state.apState;
    std::uint8_t lamps = 0;

    const bool apFlashing = flashLamp((apFlashInFdMode && state.apMode == 1) || disconnect,
                                      phases.apFlash);
    if (state.apMode == 2 || apFlashing) lamps |= kLampAp;
    if ((ap & kStateHeadingHold) != 0) lamps |= kLampHdg;
    if (flashLamp((ap & kStateNavArmed) != 0, phases.navFlash) || (ap & kStateNavEngaged) != 0) {
        lamps |= kLampNav;
    }
    if (flashLamp((ap & kStateAutothrottle) != 0, phases.iasFlash) ||
        (ap & kStateSpeedWithPitch) != 0) {
        lamps |= kLampIas;
    }
    if (flashLamp((ap & kStateAltitudeArmed) != 0, phases.altFlash) ||
        (ap & kStateAltitudeHold) != 0) {
        lamps |= kLampAlt;
    }
    if (flashLamp((ap & kStateGlideslopeArmed) != 0, phases.aprFlash) ||
        (ap & kStateGlideslopeEngaged) != 0) {
        lamps |= kLampApr;
    }
    if (flashLamp((ap & kStateVnavArmed) != 0, phases.vsFlash) ||
        (ap & (kStateVnavEngaged | kStateVsClimb)) != 0) {
        lamps |= kLampVs;
    }
    if (state.backCourse != 0) lamps |= kLampRev;
    lamps = static_cast<std::uint8_t>((lamps & ~state.overrides.lampMask) | state.overrides.lampBits);
    report[kLampOffset] = lamps;

    if (!panelPowered(state)) darkenReport(report);
}

void buildReport(const CachedState &state, std::uint8_t selector, bool apFlashInFdMode,
                 FlashPhases &phases, Report report) {
    if (state.x737Status == 1) {
        buildX737Report(state, selector, apFlashInFdMode, phases, report);
    } else {
        buildDefaultReport(state, selector, apFlashInFdMode, phases, report);
    }
}

}  // namespace multipanel
}  // namespace drovanel
