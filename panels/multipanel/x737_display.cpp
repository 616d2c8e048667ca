// The report while the x737 plug-in drives the autopilot: its own mode
// lamps and MCP values; REV, the course and the power stay the host's.
#include "multipanel_display.h"
#include "rotary_filter.h"

namespace drovanel {
namespace multipanel {

namespace {
// Marks the speed window as the x737 does for an over- or underspeed: an 8
// with its point in the hundreds and the points of the last two digits.
void markSpeedWarning(Report report) {
    std::uint8_t *row = report + kTopRowOffset;
    row[2] = kDecimalPoint + 8;
    for (int i = 3; i < 5; ++i) {
        if (row[i] <= 9) row[i] = static_cast<std::uint8_t>(row[i] + kDecimalPoint);
    }
}
}  // namespace

void buildX737Report(const CachedState &state, std::uint8_t selector, bool apFlashInFdMode,
                     FlashPhases &phases, Report report) {
    beginReport(report);
    encodeValues({state.mcpAltitude, state.mcpVerticalSpeed, state.mcpSpeed,
                  state.mcpSpeedIsMach != 0, state.mcpHeading, state.obs},
                 selector, report);

    if (selector == kSelectorIas && (state.mcpOverspeed & 0xFFFF) != 0 &&
        flashLamp(true, phases.speedWarnFlash)) {
        markSpeedWarning(report);
    }

    // Unlike the host's autopilot, the disconnect annunciator leaves the
    // x737's mode lamps showing.
    std::uint8_t lamps = 0;
    if (flashLamp((apFlashInFdMode && state.fdA == 1) || state.apDisconnect != 0, phases.apFlash) ||
        state.cmdA != 0) {
        lamps |= kLampAp;
    }
    if (state.hdgSel != 0) lamps |= kLampHdg;
    if (flashLamp(state.vorLocArmed != 0, phases.navFlash) || state.vorLoc != 0) lamps |= kLampNav;
    if (flashLamp(state.athrArmed != 0, phases.iasFlash) || state.mcpSpdMode != 0) lamps |= kLampIas;
    if (state.altHold != 0) lamps |= kLampAlt;
    if (state.appToggle != 0) lamps |= kLampApr;
    if (flashLamp(state.vsArm != 0, phases.vsFlash) || state.vsEngaged != 0) lamps |= kLampVs;
    if (state.backCourse != 0) lamps |= kLampRev;
    report[kLampOffset] = lamps;

    if (!panelPowered(state)) darkenReport(report);
}

}  // namespace multipanel
}  // namespace drovanel
