// An aircraft profile: what the aircraft's own datarefs and commands do on
// each panel, read from one XML file (profile_loader.h). A control the
// profile leaves out, or whose names the simulator does not know, keeps its
// built-in binding.
//
// The handles are resolved on the simulator thread (profile_binding.h) and
// only used there; the drivers copy what their refresh threads need into
// their own caches.
#ifndef DROVANEL_PANELS_PROFILE_PROFILE_H
#define DROVANEL_PANELS_PROFILE_PROFILE_H

#include <cstdint>
#include <string>

#include "XPLMDataAccess.h"
#include "XPLMUtilities.h"
#include "bip/lens_colour.h"

namespace drovanel {
namespace profile {

// A dataref named by the profile and what the simulator made of it.
struct DatarefName {
    std::string name;  // empty: not used
    int line = 0;
    XPLMDataRef handle = nullptr;
    int types = 0;  // XPLMGetDataRefTypes of the handle
};

struct CommandName {
    std::string name;
    int line = 0;
    XPLMCommandRef handle = nullptr;
};

// A number read from a dataref: the scalar, or one element of an array,
// times scale.
struct ValueSource {
    DatarefName ref;
    int index = -1;  // -1: the scalar
    float scale = 1.0f;
};

enum class Compare { NonZero, Equals, Above, Below };

// Holds while the value compares so with the operand.
struct Condition {
    bool bound = false;
    ValueSource value;
    Compare compare = Compare::NonZero;
    float operand = 0.0f;
};

enum class ActionKind {
    Unbound,  // the built-in binding acts
    Command,  // once each time the position is applied
    Hold,     // begun on entering the position, ended on leaving it
    Toggle,   // once, only when the state dataref differs from the switch
    Write,    // the value written to a dataref
    Nothing,  // the control does nothing at all
};

struct Action {
    ActionKind kind = ActionKind::Unbound;
    int line = 0;
    CommandName command;  // Command, Hold, Toggle
    ValueSource state;    // Toggle: the aircraft's own switch state
    bool wanted = false;  // Toggle: the state this position asks for
    ValueSource target;   // Write (scale unused)
    float value = 0.0f;   // Write
    // Hold: whether the command is held now (simulator thread, the driver's).
    bool held = false;
};

// ---------------------------------------------------------------- Multi Panel
// Selector positions in the order of the panel's selector values 1-5.
enum MultiSelector { kSelAlt, kSelVs, kSelIas, kSelHdg, kSelCrs, kMultiSelectorCount };
// Buttons and lamps in the order of the lamp bits.
enum MultiButton { kBtnAp, kBtnHdg, kBtnNav, kBtnIas, kBtnAlt, kBtnVs, kBtnApr, kBtnRev, kMultiButtonCount };

struct Knob {
    bool bound = false;
    int line = 0;
    // Either a command per step...
    CommandName up;
    CommandName down;
    // ...or a dataref stepped within limits.
    ValueSource value;
    float step = 1.0f;
    float minimum = 0.0f;
    float maximum = 0.0f;
    bool wrap = false;
};

struct Display {
    bool bound = false;
    ValueSource value;
};

struct MultiProfile {
    Knob knobs[kMultiSelectorCount];
    Display displays[kMultiSelectorCount];
    Condition mach;  // IAS shown as Mach hundredths while it holds
    Action buttons[kMultiButtonCount];
    Condition lamps[kMultiButtonCount];
    Action autothrottle[2];  // [off, on]
    Action flaps[2];         // [up, down]
    Action trim[2];          // [down, up]
};

// ---------------------------------------------------------------- Switch Panel
enum SwitchId {
    kSwBattery,
    kSwGenerator,
    kSwAvionics,
    kSwFuelPump,
    kSwDeIce,
    kSwPitotHeat,
    kSwCowlFlaps,
    kSwPanelLights,
    kSwBeacon,
    kSwNav,
    kSwStrobe,
    kSwTaxi,
    kSwLanding,
    kSwitchCount
};
enum MagnetoPosition { kMagOff, kMagRight, kMagLeft, kMagBoth, kMagStart, kMagnetoPositionCount };
// Gear lamps in the order of the lamp byte's bits.
enum GearLamp { kLamp1Green, kLamp2Green, kLamp3Green, kLamp1Red, kLamp2Red, kLamp3Red, kGearLampCount };

struct SwitchProfile {
    Action switches[kSwitchCount][2];  // [off, on]; cowl flaps: on is closed
    Action magneto[kMagnetoPositionCount];
    Action gear[2];  // [up, down]
    Condition gearLamps[kGearLampCount];
};

// ---------------------------------------------------------------- Radio Panel
enum RadioSelector { kRadNav1, kRadNav2, kRadCom1, kRadCom2, kRadAdf, kRadDme, kRadXpdr, kRadioSelectorCount };

struct RadioBinding {
    bool bound = false;
    int line = 0;
    ValueSource active;   // the left display
    ValueSource standby;  // the right display
    CommandName fineUp;
    CommandName fineDown;
    CommandName coarseUp;
    CommandName coarseDown;
    CommandName swap;
};

struct RadioProfile {
    RadioBinding radios[kRadioSelectorCount];
};

// ---------------------------------------------------------------- BIP
constexpr int kProfileLensCount = 24;

struct LensBinding {
    Condition condition;  // bound: the profile lights this lens
    LensColour colour = kLensOff;
    std::uint32_t flashOn = 0;
    std::uint32_t flashOff = 0;
};

struct BipProfile {
    LensBinding lenses[kProfileLensCount];
};

// ---------------------------------------------------------------- the file
// A shipped profile is chosen for an aircraft whose .acf file has this name
// and that publishes this name (a dataref or command the simulator itself
// lacks), so that another aircraft saved under the same file name is not
// mistaken for it.
struct Match {
    std::string acf;
    DatarefName dataref;
    CommandName command;
    int line = 0;
};

struct Profile {
    std::string path;
    std::string name;
    Match match;
    MultiProfile multi;
    SwitchProfile switches;
    RadioProfile radio;
    BipProfile bip;
};

}  // namespace profile
}  // namespace drovanel

#endif
