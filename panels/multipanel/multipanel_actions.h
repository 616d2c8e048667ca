// What the Multi Panel's inputs do to an autopilot. Two sets: the host's own
// autopilot and the x737's. The driver filters the encoder and picks the set
// at each event; the actions read and write the simulator directly
// (simulator thread only).
#ifndef DROVANEL_PANELS_MULTIPANEL_MULTIPANEL_ACTIONS_H
#define DROVANEL_PANELS_MULTIPANEL_MULTIPANEL_ACTIONS_H

#include <cstdint>

#include "multipanel_refs.h"

namespace drovanel {
namespace multipanel {

// Byte 2 of the input report: mode buttons and the auto-throttle switch.
constexpr std::uint8_t kButtonHdg = 0x01;
constexpr std::uint8_t kButtonNav = 0x02;
constexpr std::uint8_t kButtonIas = 0x04;
constexpr std::uint8_t kButtonAlt = 0x08;
constexpr std::uint8_t kButtonVs = 0x10;
constexpr std::uint8_t kButtonApr = 0x20;
constexpr std::uint8_t kButtonRev = 0x40;
constexpr std::uint8_t kAutothrottleSwitch = 0x80;

// Byte 3: flaps lever and trim wheel.
constexpr std::uint8_t kFlapsUp = 0x01;
constexpr std::uint8_t kFlapsDown = 0x02;
constexpr std::uint8_t kTrimDown = 0x04;
constexpr std::uint8_t kTrimUp = 0x08;

constexpr float kTrimLimit = 0.5f;

struct ActionContext {
    const MultipanelRefs &refs;
    bool &apCycleUp;  // direction of the AP button's mode cycle
    // The aircraft's profile drives the auto-throttle switch instead.
    bool autothrottleTaken = false;
};

struct ModeActions {
    // One encoder step of the selected value; direction is kEncoderIncrease
    // or kEncoderDecrease.
    void (*step)(ActionContext &context, std::uint8_t selector, std::uint8_t direction);
    // AP button pressed (live reports only).
    void (*apButton)(ActionContext &context);
    // Byte 2. The auto-throttle switch acts on every report; the buttons only
    // when live.
    void (*buttons)(ActionContext &context, std::uint8_t byte2, bool live);
    // Byte 3 (live reports only).
    void (*levers)(ActionContext &context, std::uint8_t byte3);
};

extern const ModeActions kDefaultActions;
extern const ModeActions kX737Actions;

// Trim moved by step, kept within the trim's travel.
float trimmed(float trim, float step);

// Flaps lever and trim wheel of byte 3; both modes move the simulator's own
// flaps and trim, each with its own trim step.
void applyLevers(const MultipanelRefs &refs, std::uint8_t byte3, float trimStep);

// The x737 MCP's value steps (the x737 keeps its own limits).
float x737AltitudeStep(float altitude, bool increase);
float x737VerticalSpeedUp(float v);
float x737VerticalSpeedDown(float v);
float x737SpeedStep(float knots, bool increase);

// A course (and the x737's heading) stepped by one degree within 0..359.
float courseStep(float degrees, bool increase);

}  // namespace multipanel
}  // namespace drovanel

#endif
