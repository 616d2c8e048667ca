// The x737's autopilot: every input reads and writes the x737's published
// datarefs. Flaps, trim, REV and the course stay on the host's references.
#include <cmath>

#include "host_command.h"
#include "multipanel_actions.h"
#include "rotary_filter.h"
#include "single_precision.h"

namespace drovanel {
namespace multipanel {

namespace {
constexpr float kAltitudeStep = 100.0f;
constexpr float kMaxAltitude = 50000.0f;
constexpr float kMinSpeed = 100.0f;
constexpr float kMaxSpeed = 340.0f;
constexpr float kMaxClimb = 6000.0f;
constexpr float kTrimStep = 0.005f;

// 100 ft/min steps from 1000 ft/min either way, 50 below.
// (Truncated toward zero, the magnitude reaches 1000 exactly when |v| does.)
float verticalSpeedIncrement(float v) { return std::fabs(v) >= 1000.0f ? 100.0f : 50.0f; }

void toggle(XPLMDataRef ref) { XPLMSetDatai(ref, XPLMGetDatai(ref) == 0 ? 1 : 0); }

// Off, armed, engaged, off.
void armEngageCycle(XPLMDataRef armed, XPLMDataRef engaged) {
    const int a = XPLMGetDatai(armed);
    const int e = XPLMGetDatai(engaged);
    if (e != 0) {
        XPLMSetDatai(engaged, 0);
        XPLMSetDatai(armed, 0);
    } else if (a == 0) {
        XPLMSetDatai(armed, 1);
    } else {
        XPLMSetDatai(engaged, 1);
    }
}

void step(ActionContext &context, std::uint8_t selector, std::uint8_t direction) {
    const MultipanelRefs &refs = context.refs;
    const bool up = direction == kEncoderIncrease;
    switch (selector) {
        case kSelectorAlt:
            XPLMSetDataf(refs.mcpAltitudeRef, x737AltitudeStep(XPLMGetDataf(refs.mcpAltitudeRef), up));
            break;
        case kSelectorVs: {
            const float v = XPLMGetDataf(refs.mcpVerticalSpeedRef);
            XPLMSetDataf(refs.mcpVerticalSpeedRef, up ? x737VerticalSpeedUp(v) : x737VerticalSpeedDown(v));
            break;
        }
        case kSelectorIas:
            XPLMSetDataf(refs.mcpSpeedKiasRef, x737SpeedStep(XPLMGetDataf(refs.mcpSpeedKiasRef), up));
            break;
        case kSelectorHdg:
            XPLMSetDataf(refs.mcpHeadingRef, courseStep(XPLMGetDataf(refs.mcpHeadingRef), up));
            break;
        case kSelectorCrs:
            XPLMSetDataf(refs.obsRef, courseStep(XPLMGetDataf(refs.obsRef), up));
            break;
        default:
            break;
    }
}

// Off, flight director, flight director with command A, flight director, off.
void apButton(ActionContext &context) {
    const MultipanelRefs &refs = context.refs;
    const int fd = XPLMGetDatai(refs.fdARef);
    const int cmd = XPLMGetDatai(refs.cmdARef);
    if (context.apCycleUp) {
        if (fd == 0) {
            XPLMSetDatai(refs.fdARef, 1);
        } else if (cmd == 0) {
            XPLMSetDatai(refs.cmdARef, 1);
        } else {
            XPLMSetDatai(refs.cmdARef, 0);
            context.apCycleUp = false;
        }
    } else {
        if (fd == 0) {
            XPLMSetDatai(refs.fdARef, 1);
            context.apCycleUp = true;
        } else if (cmd != 0) {
            XPLMSetDatai(refs.cmdARef, 0);
        } else {
            XPLMSetDatai(refs.fdARef, 0);
        }
    }
}

void buttons(ActionContext &context, std::uint8_t byte2, bool live) {
    const MultipanelRefs &refs = context.refs;
    XPLMSetDatai(refs.athrArmedRef, (byte2 & kAutothrottleSwitch) != 0 ? 1 : 0);
    if (!live) return;
    if ((byte2 & kButtonAlt) != 0) toggle(refs.altHoldRef);
    if ((byte2 & kButtonApr) != 0) XPLMSetDatai(refs.appToggleRef, 1);
    if ((byte2 & kButtonVs) != 0) armEngageCycle(refs.vsArmRef, refs.vsEngagedRef);
    if ((byte2 & kButtonHdg) != 0) toggle(refs.hdgSelRef);
    if ((byte2 & kButtonIas) != 0) toggle(refs.mcpSpdModeRef);
    if ((byte2 & kButtonNav) != 0) armEngageCycle(refs.vorLocArmedRef, refs.vorLocRef);
    if ((byte2 & kButtonRev) != 0) commandOnce(refs.backCourseCmd);
}

void levers(ActionContext &context, std::uint8_t byte3) { applyLevers(context.refs, byte3, kTrimStep); }
}  // namespace

float x737AltitudeStep(float altitude, bool increase) {
    if (increase) {
        altitude += kAltitudeStep;
        return altitude > kMaxAltitude ? kMaxAltitude : altitude;
    }
    altitude -= kAltitudeStep;
    return altitude < 0.0f ? 0.0f : altitude;
}

float x737VerticalSpeedUp(float v) {
    v += verticalSpeedIncrement(v);
    return v >= kMaxClimb ? kMaxClimb : v;
}

// Descents step by 100 down to -900, by 150 below it, and stop at -8000.
float x737VerticalSpeedDown(float v) {
    v -= verticalSpeedIncrement(v);
    if (v <= -7900.0f) {
        v = -7950.0f;
    } else if (v < 0.0f) {
        v -= 50.0f;
    }
    if (v <= -900.0f) v -= 50.0f;
    return v;
}

float x737SpeedStep(float knots, bool increase) {
    if (increase) {
        knots += 1.0f;
        return knots > kMaxSpeed ? kMaxSpeed : knots;
    }
    knots -= 1.0f;
    return knots < kMinSpeed ? kMinSpeed : knots;
}

const ModeActions kX737Actions = {step, apButton, buttons, levers};

}  // namespace multipanel
}  // namespace drovanel
