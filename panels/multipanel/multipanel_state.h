// What the Multi Panel driver keeps of the simulator: the cached display
// state that the refresh thread reads, and the lamps' flash phases.
#ifndef DROVANEL_PANELS_MULTIPANEL_MULTIPANEL_STATE_H
#define DROVANEL_PANELS_MULTIPANEL_MULTIPANEL_STATE_H

#include <cstdint>

namespace drovanel {
namespace multipanel {

constexpr int kBatteryElements = 8;

// What an aircraft profile shows in place of the built-in values and lamps;
// all masks 0 without a profile.
struct ProfileOverrides {
    std::uint8_t displayMask = 0;  // bit i: display[i] replaces selector position i's value
    float display[5] = {};         // ALT, VS, IAS, HDG, CRS
    bool machBound = false;
    bool mach = false;
    std::uint8_t lampMask = 0;  // lamp bits the profile decides
    std::uint8_t lampBits = 0;  // which of those are lit
};

// Filled by update() under dataLock; read by sendReport() under dataLock.
// Zeroed until the first update, which shows as a dark panel.
struct CachedState {
    int x737Status = 0;
    int apMode = 0;
    int apDisconnect = 0;
    int apState = 0;
    int backCourse = 0;
    float apAltitude = 0.0f;
    float apVerticalSpeed = 0.0f;
    float apAirspeed = 0.0f;
    int apAirspeedIsMach = 0;
    float apHeading = 0.0f;
    float obs = 0.0f;
    int batteryOn[kBatteryElements] = {};
    int batteryCount = 0;
    int apuGeneratorOn = 0;
    int avionicsOn = 0;
    // The x737's own autopilot.
    int cmdA = 0;
    int fdA = 0;
    int hdgSel = 0;
    int vorLocArmed = 0;
    int vorLoc = 0;
    int athrArmed = 0;
    int mcpSpdMode = 0;
    int altHold = 0;
    int appToggle = 0;
    int vsArm = 0;
    int vsEngaged = 0;
    float mcpAltitude = 0.0f;
    float mcpVerticalSpeed = 0.0f;
    float mcpSpeed = 0.0f;
    int mcpSpeedIsMach = 0;
    float mcpHeading = 0.0f;
    int mcpOverspeed = 0;
    ProfileOverrides overrides;
};

// One phase per flashing lamp (and the speed-window warning); inverted by
// each report in which its flash condition holds.
struct FlashPhases {
    bool apFlash = true;
    bool navFlash = true;
    bool aprFlash = true;
    bool iasFlash = true;
    bool altFlash = true;
    bool vsFlash = true;
    bool speedWarnFlash = true;
};

}  // namespace multipanel
}  // namespace drovanel

#endif
