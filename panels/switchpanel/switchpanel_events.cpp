// Switchpanel input: the switches, the magneto rotary and the gear lever.
#include <algorithm>

#include "host_command.h"
#include "profile/profile_binding.h"
#include "switchpanel.h"
#include "switchpanel_input.h"

namespace drovanel {

using namespace switchpanel;

void Switchpanel::handleEvent(const std::uint8_t *bytes, std::uint32_t length, std::uint8_t flag,
                              std::uint32_t tick) {
    // Replays of the stored report are applied like live ones: both carry
    // every switch position.
    (void)flag;
    (void)tick;
    bind();
    if (profile_ != nullptr) {
        // A command held in one rotary position ends with the first report
        // in another.
        int magneto = -1;
        if (length > kLightsByte && (bytes[kLightsByte] & kMagnetoOffBit)) magneto = profile::kMagOff;
        if (length > kLightsByte && (bytes[kLightsByte] & kMagnetoRightBit)) magneto = profile::kMagRight;
        if (length > kLightsByte && (bytes[kLightsByte] & kMagnetoLeftBit)) magneto = profile::kMagLeft;
        if (length > kGearByte && (bytes[kGearByte] & kMagnetoBothBit)) magneto = profile::kMagBoth;
        if (length > kGearByte && (bytes[kGearByte] & kMagnetoStartBit)) magneto = profile::kMagStart;
        profile::releaseHeldExcept(profile_->switches.magneto, profile::kMagnetoPositionCount, magneto);
        int gear = -1;
        if (length > kGearByte && (bytes[kGearByte] & kGearUpBit)) gear = 0;
        if (length > kGearByte && (bytes[kGearByte] & kGearDownBit)) gear = 1;
        profile::releaseHeldExcept(profile_->switches.gear, 2, gear);
    }
    if (length > kSwitchesByte) applySwitches(bytes[kSwitchesByte]);
    if (length > kLightsByte) applyLightsAndMagnetos(bytes[kLightsByte]);
    if (length > kGearByte) applyGearAndStarter(bytes[kGearByte]);
}

void Switchpanel::applySwitches(std::uint8_t bits) {
    if (!profileSwitch(profile::kSwAvionics, bits & kAvionicsBit)) {
        toggle(bits & kAvionicsBit, kAvionicsOn, kAvionicsOff);
    }
    if (!profileSwitch(profile::kSwCowlFlaps, bits & kCowlFlapsBit)) {
        toggle(bits & kCowlFlapsBit, kCowlFlapsClosed, kCowlFlapsOpen);
    }

    const bool deIce = bits & kDeIceBit;
    if (!profileSwitch(profile::kSwDeIce, deIce)) {
        toggle(deIce, kWingHeat0On, kWingHeat0Off);
        toggle(deIce, kWingHeat1On, kWingHeat1Off);
        for (XPLMDataRef handle : deIce_) {
            if (handle != nullptr) XPLMSetDatai(handle, deIce ? 1 : 0);
        }
    }

    const bool fuelPump = bits & kFuelPumpBit;
    if (!profileSwitch(profile::kSwFuelPump, fuelPump)) {
        toggle(fuelPump, kFuelPump1On, kFuelPump1Off);
        toggle(fuelPump, kFuelPump2On, kFuelPump2Off);
    }

    if (!profileSwitch(profile::kSwGenerator, bits & kGeneratorBit)) {
        setEntries(kNumGenerators, kGeneratorOn, (bits & kGeneratorBit) ? 1 : 0);
    }
    if (!profileSwitch(profile::kSwBattery, bits & kBatteryBit)) {
        setEntries(kNumBatteries, kBatteryArrayOn, (bits & kBatteryBit) ? 1 : 0);
    }

    if (!profileSwitch(profile::kSwPanelLights, bits & kPanelLightsBit)) {
        XPLMSetDataf(datarefs_[kCockpitLights], (bits & kPanelLightsBit) ? 1.0f : 0.0f);
    }

    const bool pitotHeat = bits & kPitotHeatBit;
    if (!profileSwitch(profile::kSwPitotHeat, pitotHeat)) {
        toggle(pitotHeat, kPitotHeatOn, kPitotHeatOff);
        XPLMSetDatai(datarefs_[kPitotHeatPilot], pitotHeat ? 1 : 0);
    }
}

bool Switchpanel::profileSwitch(profile::SwitchId id, bool on) {
    return profile_ != nullptr && profile::applyPosition(profile_->switches.switches[id], 2, on ? 1 : 0);
}

bool Switchpanel::profileAction(profile::Action *actions, int position) {
    return profile_ != nullptr && profile::applyAction(actions[position]);
}

void Switchpanel::bindProfile(profile::Profile *aircraftProfile) {
    if (profile_ != nullptr) {
        profile::SwitchProfile &old = profile_->switches;
        for (auto &positions : old.switches) profile::releaseHeld(positions, 2);
        profile::releaseHeld(old.magneto, profile::kMagnetoPositionCount);
        profile::releaseHeld(old.gear, 2);
    }
    profile_ = aircraftProfile;
}

void Switchpanel::applyLightsAndMagnetos(std::uint8_t bits) {
    profile::Action *magneto = profile_ != nullptr ? profile_->switches.magneto : nullptr;
    if ((bits & kMagnetoLeftBit) && !profileAction(magneto, profile::kMagLeft)) magnetoLeft();
    if ((bits & kMagnetoOffBit) && !profileAction(magneto, profile::kMagOff)) magnetoOff();
    if ((bits & kMagnetoRightBit) && !profileAction(magneto, profile::kMagRight)) magnetoRight();
    if (!profileSwitch(profile::kSwBeacon, bits & kBeaconBit)) toggle(bits & kBeaconBit, kBeaconOn, kBeaconOff);
    if (!profileSwitch(profile::kSwLanding, bits & kLandingBit)) {
        toggle(bits & kLandingBit, kLandingOn, kLandingOff);
    }
    if (!profileSwitch(profile::kSwNav, bits & kNavBit)) toggle(bits & kNavBit, kNavOn, kNavOff);
    if (!profileSwitch(profile::kSwStrobe, bits & kStrobeBit)) toggle(bits & kStrobeBit, kStrobeOn, kStrobeOff);
    if (!profileSwitch(profile::kSwTaxi, bits & kTaxiBit)) toggle(bits & kTaxiBit, kTaxiOn, kTaxiOff);
}

void Switchpanel::applyGearAndStarter(std::uint8_t bits) {
    // Fixed-gear aircraft ignore the lever.
    profile::Action *gear = profile_ != nullptr ? profile_->switches.gear : nullptr;
    profile::Action *magneto = profile_ != nullptr ? profile_->switches.magneto : nullptr;
    if ((bits & kGearUpBit) && !profileAction(gear, 0) && gearTestPasses()) once(kGearUp);
    if ((bits & kGearDownBit) && !profileAction(gear, 1) && gearTestPasses()) once(kGearDown);
    if ((bits & kMagnetoBothBit) && !profileAction(magneto, profile::kMagBoth)) magnetoBoth();
    if ((bits & kMagnetoStartBit) && !profileAction(magneto, profile::kMagStart)) magnetoStart();
}

void Switchpanel::magnetoLeft() {
    for (int e = 0; e < engineCount_; ++e) {
        onceForEngine(kIgniterArmOn, e);
        onceForEngine(kMagnetosLeft, e);
    }
}

void Switchpanel::magnetoRight() {
    for (int e = 0; e < engineCount_; ++e) {
        onceForEngine(kIgniterArmOn, e);
        onceForEngine(kMagnetosRight, e);
    }
}

void Switchpanel::magnetoOff() {
    const int zeros[kMaxEngines] = {};
    const float noMixture[kMaxEngines] = {};
    writeEngineFloats(kEngineMixture, noMixture);
    writeEngineInts(kIgniterOn, zeros);
    writeEngineInts(kAutoIgniteOn, zeros);
    writeEngineInts(kIgnitionOn, zeros);
    for (int e = 0; e < engineCount_; ++e) {
        onceForEngine(kIgniterArmOff, e);
        onceForEngine(kEngineShutDown, e);
    }
    once(kShutDown);
    once(kInvertersOff);
}

void Switchpanel::magnetoBoth() {
    once(kInvertersOn);
    // BOTH is where the spring-loaded START position returns to: release
    // the starter held since START.
    held_.end(commands_[kEngageStartRun]);
    for (int e = 0; e < engineCount_; ++e) {
        onceForEngine(kIgniterContinOff, e);
        onceForEngine(kIgniterArmOn, e);
        onceForEngine(kMagnetosBoth, e);
    }
}

void Switchpanel::magnetoStart() {
    int running[kMaxEngines];
    float mixture[kMaxEngines];
    for (int i = 0; i < kMaxEngines; ++i) {
        running[i] = i < engineCount_ ? 1 : 0;
        mixture[i] = i < engineCount_ ? 1.0f : 0.0f;
    }
    writeEngineInts(kFadecOn, running);
    writeEngineFloats(kEngineMixture, mixture);
    writeEngineInts(kIgniterOn, running);
    writeEngineInts(kAutoIgniteOn, running);
    writeEngineInts(kIgnitionOn, running);
    // Held until a report with the rotary at BOTH.
    held_.begin(commands_[kEngageStartRun]);
}

void Switchpanel::toggle(bool on, Command onCommand, Command offCommand) {
    once(on ? onCommand : offCommand);
}

void Switchpanel::once(Command command) { commandOnce(commands_[command]); }

void Switchpanel::onceForEngine(EngineCommand command, int engineIndex) {
    commandOnce(engineCommands_[command][engineIndex]);
}

void Switchpanel::setEntries(Dataref countRef, Dataref arrayRef, int value) {
    // As many entries as the aircraft has, the array holds, and at most 8.
    const int length = XPLMGetDatavi(datarefs_[arrayRef], nullptr, 0, 0);
    const int entries = std::min({XPLMGetDatai(datarefs_[countRef]), length, kMaxElectricalEntries});
    if (entries <= 0) return;
    int values[kMaxElectricalEntries];
    std::fill(std::begin(values), std::end(values), value);
    XPLMSetDatavi(datarefs_[arrayRef], values, 0, entries);
}

void Switchpanel::writeEngineInts(Dataref ref, const int (&values)[kMaxEngines]) {
    int copy[kMaxEngines];
    std::copy(std::begin(values), std::end(values), copy);  // the host API takes non-const
    XPLMSetDatavi(datarefs_[ref], copy, 0, kMaxEngines);
}

void Switchpanel::writeEngineFloats(Dataref ref, const float (&values)[kMaxEngines]) {
    float copy[kMaxEngines];
    std::copy(std::begin(values), std::end(values), copy);
    XPLMSetDatavf(datarefs_[ref], copy, 0, kMaxEngines);
}

bool Switchpanel::gearTestPasses() {
    // Read fresh: the aircraft may have changed since the last cache fill.
    int types[kMaxGearEntries] = {};
    const int read = std::max(
        0, std::min(XPLMGetDatavi(datarefs_[kGearType], types, 0, kMaxGearEntries), kMaxGearEntries));
    return std::any_of(types, types + read,
                       [](int type) { return type >= kMinRetractableGearType; });
}

}  // namespace drovanel
