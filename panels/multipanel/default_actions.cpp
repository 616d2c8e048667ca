// The host's own autopilot: ALT, VS and IAS step through the host's
// commands, HDG and CRS are written directly.
#include "host_command.h"
#include "multipanel_actions.h"
#include "rotary_filter.h"
#include "single_precision.h"

namespace drovanel {
namespace multipanel {

namespace {
constexpr float kTrimStep = 0.001f;

// The host's heading bug runs 1..360.
float headingStep(float heading, bool increase) {
    if (increase) {
        heading += 1.0f;
        if (heading > 360.0f) heading -= 360.0f;
    } else {
        heading -= 1.0f;
        if (heading < 1.0f) heading += 360.0f;
    }
    return heading;
}

void step(ActionContext &context, std::uint8_t selector, std::uint8_t direction) {
    const MultipanelRefs &refs = context.refs;
    const bool up = direction == kEncoderIncrease;
    switch (selector) {
        case kSelectorAlt:
            commandOnce(up ? refs.altitudeUpCmd : refs.altitudeDownCmd);
            break;
        case kSelectorVs:
            commandOnce(up ? refs.verticalSpeedUpCmd : refs.verticalSpeedDownCmd);
            break;
        case kSelectorIas:
            commandOnce(up ? refs.airspeedUpCmd : refs.airspeedDownCmd);
            break;
        case kSelectorHdg:
            XPLMSetDataf(refs.apHeadingRef, headingStep(XPLMGetDataf(refs.apHeadingRef), up));
            break;
        case kSelectorCrs:
            XPLMSetDataf(refs.obsRef, courseStep(XPLMGetDataf(refs.obsRef), up));
            break;
        default:
            break;
    }
}

// Off, flight director, autopilot, flight director, off.
void apButton(ActionContext &context) {
    XPLMDataRef mode = context.refs.apModeRef;
    switch (XPLMGetDatai(mode)) {
        case 0:
            XPLMSetDatai(mode, 1);
            context.apCycleUp = true;
            break;
        case 1:
            XPLMSetDatai(mode, context.apCycleUp ? 2 : 0);
            break;
        case 2:
            XPLMSetDatai(mode, 1);
            context.apCycleUp = false;
            break;
        default:
            break;
    }
}

void buttons(ActionContext &context, std::uint8_t byte2, bool live) {
    const MultipanelRefs &refs = context.refs;
    if (!context.autothrottleTaken) {
        commandOnce((byte2 & kAutothrottleSwitch) != 0 ? refs.autothrottleOnCmd : refs.autothrottleOffCmd);
    }
    if (!live) return;
    if ((byte2 & kButtonAlt) != 0) {
        const int status = XPLMGetDatai(refs.altitudeHoldStatusRef);
        if (status == 0 || status == 1) {
            commandOnce(refs.altitudeHoldCmd);
        } else if (status == 2) {
            commandOnce(refs.altitudeArmCmd);
        }
    }
    if ((byte2 & kButtonApr) != 0) commandOnce(refs.approachCmd);
    if ((byte2 & kButtonVs) != 0) commandOnce(refs.verticalSpeedCmd);
    if ((byte2 & kButtonHdg) != 0) commandOnce(refs.headingCmd);
    if ((byte2 & kButtonIas) != 0) commandOnce(refs.airspeedSyncCmd);
    if ((byte2 & kButtonNav) != 0) commandOnce(refs.navCmd);
    if ((byte2 & kButtonRev) != 0) commandOnce(refs.backCourseCmd);
}

void levers(ActionContext &context, std::uint8_t byte3) { applyLevers(context.refs, byte3, kTrimStep); }
}  // namespace

void applyLevers(const MultipanelRefs &refs, std::uint8_t byte3, float trimStep) {
    if ((byte3 & kFlapsDown) != 0) commandOnce(refs.flapsDownCmd);
    if ((byte3 & kFlapsUp) != 0) commandOnce(refs.flapsUpCmd);
    if ((byte3 & kTrimDown) != 0) {
        XPLMSetDataf(refs.elevatorTrimRef, trimmed(XPLMGetDataf(refs.elevatorTrimRef), -trimStep));
    }
    if ((byte3 & kTrimUp) != 0) {
        XPLMSetDataf(refs.elevatorTrimRef, trimmed(XPLMGetDataf(refs.elevatorTrimRef), trimStep));
    }
}

float courseStep(float degrees, bool increase) {
    if (increase) {
        degrees += 1.0f;
        if (degrees >= 360.0f) degrees -= 360.0f;
    } else {
        degrees -= 1.0f;
        if (degrees < 0.0f) degrees += 360.0f;
    }
    return degrees;
}

float trimmed(float trim, float step) {
    trim += step;
    if (step < 0.0f && trim < -kTrimLimit) trim = -kTrimLimit;
    if (step > 0.0f && trim > kTrimLimit) trim = kTrimLimit;
    return trim;
}

const ModeActions kDefaultActions = {step, apButton, buttons, levers};

}  // namespace multipanel
}  // namespace drovanel
