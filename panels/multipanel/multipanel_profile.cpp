#include "multipanel_profile.h"

#include "multipanel_actions.h"
#include "profile/profile_binding.h"
#include "rotary_filter.h"

namespace drovanel {
namespace multipanel {

namespace {

// The selector bit's position index (ALT 0 ... CRS 4), or -1.
int selectorIndex(std::uint8_t selector) {
    for (int i = 0; i < profile::kMultiSelectorCount; ++i) {
        if (selector == (1u << i)) return i;
    }
    return -1;
}

// Byte 2's button bits in the profile's button order, AP (not in byte 2) first.
constexpr std::uint8_t kButtonBits[profile::kMultiButtonCount] = {
    0, kButtonHdg, kButtonNav, kButtonIas, kButtonAlt, kButtonVs, kButtonApr, kButtonRev};

}  // namespace

bool profileStep(profile::MultiProfile &p, std::uint8_t selector, bool up) {
    const int index = selectorIndex(selector);
    if (index < 0 || !profile::usable(p.knobs[index])) return false;
    profile::stepKnob(p.knobs[index], up);
    return true;
}

bool profileApButton(profile::MultiProfile &p) { return profile::applyAction(p.buttons[profile::kBtnAp]); }

std::uint8_t profileButtons(profile::MultiProfile &p, std::uint8_t byte2, bool live, bool *autothrottleTaken) {
    *autothrottleTaken = profile::applyPosition(p.autothrottle, 2, (byte2 & kAutothrottleSwitch) != 0 ? 1 : 0);
    if (!live) return byte2;
    std::uint8_t left = byte2;
    for (int b = profile::kBtnHdg; b < profile::kMultiButtonCount; ++b) {
        const bool pressed = (byte2 & kButtonBits[b]) != 0;
        // A held button command ends with the report that shows it released.
        if (profile::applyPosition(&p.buttons[b], 1, pressed ? 0 : -1)) {
            left = static_cast<std::uint8_t>(left & ~kButtonBits[b]);
        }
    }
    return left;
}

std::uint8_t profileLevers(profile::MultiProfile &p, std::uint8_t byte3) {
    std::uint8_t left = byte3;
    const int flaps = (byte3 & kFlapsUp) != 0 ? 0 : (byte3 & kFlapsDown) != 0 ? 1 : -1;
    if (profile::applyPosition(p.flaps, 2, flaps)) left = static_cast<std::uint8_t>(left & ~(kFlapsUp | kFlapsDown));
    const int trim = (byte3 & kTrimDown) != 0 ? 0 : (byte3 & kTrimUp) != 0 ? 1 : -1;
    if (profile::applyPosition(p.trim, 2, trim)) left = static_cast<std::uint8_t>(left & ~(kTrimDown | kTrimUp));
    return left;
}

void releaseProfile(profile::MultiProfile &p) {
    profile::releaseHeld(p.buttons, profile::kMultiButtonCount);
    profile::releaseHeld(p.autothrottle, 2);
    profile::releaseHeld(p.flaps, 2);
    profile::releaseHeld(p.trim, 2);
}

void readProfileOverrides(const profile::MultiProfile &p, ProfileOverrides &o) {
    o = ProfileOverrides{};
    for (int i = 0; i < profile::kMultiSelectorCount; ++i) {
        if (!p.displays[i].bound || !profile::usable(p.displays[i].value)) continue;
        o.displayMask = static_cast<std::uint8_t>(o.displayMask | (1u << i));
        o.display[i] = profile::read(p.displays[i].value);
    }
    o.machBound = profile::usable(p.mach);
    o.mach = o.machBound && profile::holds(p.mach);
    for (int b = 0; b < profile::kMultiButtonCount; ++b) {
        if (!profile::usable(p.lamps[b])) continue;
        o.lampMask = static_cast<std::uint8_t>(o.lampMask | (1u << b));
        if (profile::holds(p.lamps[b])) o.lampBits = static_cast<std::uint8_t>(o.lampBits | (1u << b));
    }
}

}  // namespace multipanel
}  // namespace drovanel
