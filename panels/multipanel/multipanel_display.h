// Builds the Multi Panel's output report from the cached simulator state:
// the values the selector picks, the lamps with their flash phases, and the
// dark panel when it has no power. Pure apart from the flash phases it
// advances; the caller holds dataLock.
#ifndef DROVANEL_PANELS_MULTIPANEL_MULTIPANEL_DISPLAY_H
#define DROVANEL_PANELS_MULTIPANEL_MULTIPANEL_DISPLAY_H

#include <cstdint>

#include "multipanel_codec.h"
#include "multipanel_state.h"

namespace drovanel {
namespace multipanel {

// Refresh periods: flashing lamps blink at this rate.
constexpr std::uint32_t kNormalPeriodMs = 500;
constexpr std::uint32_t kDisconnectPeriodMs = 170;

// The host's autopilot_state flags behind the lamps.
constexpr int kStateAutothrottle = 0x00001;
constexpr int kStateHeadingHold = 0x00002;
constexpr int kStateSpeedWithPitch = 0x00008;
constexpr int kStateVsClimb = 0x00010;
constexpr int kStateAltitudeArmed = 0x00020;
constexpr int kStateNavArmed = 0x00100;
constexpr int kStateNavEngaged = 0x00200;
constexpr int kStateGlideslopeArmed = 0x00400;
constexpr int kStateGlideslopeEngaged = 0x00800;
constexpr int kStateAltitudeHold = 0x04000;
constexpr int kStateVnavArmed = 0x20000;
constexpr int kStateVnavEngaged = 0x40000;

// The autopilot values one report shows, whichever autopilot they are from.
struct DisplayValues {
    float altitude;
    float verticalSpeed;
    float speed;
    bool speedIsMach;
    float heading;
    float course;
};

// Both rows for the selector position (0: none reported yet, rows blank).
void encodeValues(const DisplayValues &values, std::uint8_t selector, Report report);

// The values an aircraft profile shows in place of the built-in ones.
void applyProfileValues(const ProfileOverrides &overrides, DisplayValues &values);

// The panel is lit only with avionics power and a battery or the APU
// generator on.
bool panelPowered(const CachedState &state);

// The period the refresh thread sleeps after this report.
inline std::uint32_t refreshPeriodFor(const CachedState &state) {
    return state.apDisconnect != 0 ? kDisconnectPeriodMs : kNormalPeriodMs;
}

// The report for the host's own autopilot.
void buildDefaultReport(const CachedState &state, std::uint8_t selector, bool apFlashInFdMode,
                        FlashPhases &phases, Report report);

// The report while the x737 drives the autopilot.
void buildX737Report(const CachedState &state, std::uint8_t selector, bool apFlashInFdMode,
                     FlashPhases &phases, Report report);

// Picks the builder: the x737 one while its plug-in reports exactly 1.
void buildReport(const CachedState &state, std::uint8_t selector, bool apFlashInFdMode,
                 FlashPhases &phases, Report report);

}  // namespace multipanel
}  // namespace drovanel

#endif
