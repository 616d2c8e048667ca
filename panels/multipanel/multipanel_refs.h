// The Multi Panel's handles on the simulator: the host's autopilot,
// electrical and control datarefs and commands, then the x737 plug-in's
// datarefs. Null while unresolved; the host reads a null dataref as 0 and
// ignores writes through it, and commands go through the null-safe helpers.
#ifndef DROVANEL_PANELS_MULTIPANEL_MULTIPANEL_REFS_H
#define DROVANEL_PANELS_MULTIPANEL_MULTIPANEL_REFS_H

#include <cstddef>

#include "XPLMDataAccess.h"
#include "XPLMUtilities.h"

namespace drovanel {
namespace multipanel {

struct MultipanelRefs {
    // The host's autopilot, in binding order.
    XPLMDataRef apModeRef = nullptr;
    XPLMDataRef apDisconnectRef = nullptr;
    XPLMDataRef apStateRef = nullptr;
    XPLMDataRef backCourseRef = nullptr;
    XPLMDataRef apAltitudeRef = nullptr;
    XPLMDataRef apVerticalSpeedRef = nullptr;
    XPLMDataRef apAirspeedRef = nullptr;
    XPLMDataRef apAirspeedIsMachRef = nullptr;
    XPLMDataRef apHeadingRef = nullptr;
    XPLMDataRef obsRef = nullptr;
    XPLMDataRef batteryOnRef = nullptr;
    XPLMDataRef apuGeneratorOnRef = nullptr;
    XPLMDataRef avionicsOnRef = nullptr;
    XPLMDataRef altitudeHoldStatusRef = nullptr;
    XPLMDataRef elevatorTrimRef = nullptr;
    XPLMCommandRef altitudeDownCmd = nullptr;
    XPLMCommandRef altitudeUpCmd = nullptr;
    XPLMCommandRef altitudeArmCmd = nullptr;
    XPLMCommandRef altitudeHoldCmd = nullptr;
    XPLMCommandRef airspeedDownCmd = nullptr;
    XPLMCommandRef airspeedUpCmd = nullptr;
    XPLMCommandRef verticalSpeedUpCmd = nullptr;
    XPLMCommandRef verticalSpeedDownCmd = nullptr;
    XPLMCommandRef autothrottleOnCmd = nullptr;
    XPLMCommandRef autothrottleOffCmd = nullptr;
    XPLMCommandRef approachCmd = nullptr;
    XPLMCommandRef verticalSpeedCmd = nullptr;
    XPLMCommandRef headingCmd = nullptr;
    XPLMCommandRef airspeedSyncCmd = nullptr;
    XPLMCommandRef navCmd = nullptr;
    XPLMCommandRef backCourseCmd = nullptr;
    XPLMCommandRef flapsUpCmd = nullptr;
    XPLMCommandRef flapsDownCmd = nullptr;
    // The x737's autopilot.
    XPLMDataRef x737StatusRef = nullptr;
    XPLMDataRef cmdARef = nullptr;
    XPLMDataRef fdARef = nullptr;
    XPLMDataRef hdgSelRef = nullptr;
    XPLMDataRef vorLocArmedRef = nullptr;
    XPLMDataRef vorLocRef = nullptr;
    XPLMDataRef athrArmedRef = nullptr;
    XPLMDataRef mcpSpdModeRef = nullptr;
    XPLMDataRef altHoldRef = nullptr;
    XPLMDataRef appToggleRef = nullptr;
    XPLMDataRef vsArmRef = nullptr;
    XPLMDataRef vsEngagedRef = nullptr;
    XPLMDataRef mcpAltitudeRef = nullptr;
    XPLMDataRef mcpVerticalSpeedRef = nullptr;
    XPLMDataRef mcpSpeedRef = nullptr;
    XPLMDataRef mcpSpeedKiasRef = nullptr;
    XPLMDataRef mcpSpeedIsMachRef = nullptr;
    XPLMDataRef mcpHeadingRef = nullptr;
    XPLMDataRef mcpOverspeedRef = nullptr;
};

constexpr std::size_t kReferenceCount = 52;

// Looks up every reference that is still null, in binding order, and keeps
// the result, null or not. Silent for paths that stay unresolved.
void bindReferences(MultipanelRefs &refs);

// The path of each reference in binding order (for tests and the host's
// dataref table).
const char *referencePath(std::size_t index);

}  // namespace multipanel
}  // namespace drovanel

#endif
