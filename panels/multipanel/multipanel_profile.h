// The Multi Panel's controls as an aircraft profile binds them. Each
// function does the profile's part and tells what it took, so that the
// built-in actions do the rest exactly as without a profile. Simulator
// thread.
#ifndef DROVANEL_PANELS_MULTIPANEL_MULTIPANEL_PROFILE_H
#define DROVANEL_PANELS_MULTIPANEL_MULTIPANEL_PROFILE_H

#include <cstdint>

#include "multipanel_state.h"
#include "profile/profile.h"

namespace drovanel {
namespace multipanel {

// One encoder step at the selector position (a kSelector* bit); false when
// the profile does not bind that knob.
bool profileStep(profile::MultiProfile &p, std::uint8_t selector, bool up);
// The AP button pressed; false when the profile does not bind it.
bool profileApButton(profile::MultiProfile &p);
// Byte 2: the auto-throttle switch on every report, the buttons when live.
// Returns byte 2 without the buttons the profile took; *autothrottleTaken
// tells whether it took the switch.
std::uint8_t profileButtons(profile::MultiProfile &p, std::uint8_t byte2, bool live, bool *autothrottleTaken);
// Byte 3 (live reports): returns it without the levers the profile took.
std::uint8_t profileLevers(profile::MultiProfile &p, std::uint8_t byte3);
// Releases every command the profile holds.
void releaseProfile(profile::MultiProfile &p);

// The displays and lamps the profile binds, read now.
void readProfileOverrides(const profile::MultiProfile &p, ProfileOverrides &overrides);

}  // namespace multipanel
}  // namespace drovanel

#endif
