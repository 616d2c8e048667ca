// Switchpanel: the Saitek Switch Panel driver. Every input report carries
// the position of every switch and is applied whole, each switch sending the
// command (or dataref write) of its current position; the gear lamps follow
// the simulator's gear.
#ifndef DROVANEL_PANELS_SWITCHPANEL_SWITCHPANEL_H
#define DROVANEL_PANELS_SWITCHPANEL_SWITCHPANEL_H

#include <cstdint>

#include "XPLMDataAccess.h"
#include "XPLMUtilities.h"
#include "abstract_panel.h"
#include "held_commands.h"
#include "switchpanel_bindings.h"
#include "switchpanel_lamps.h"
#include "profile/profile.h"

namespace drovanel {

class Switchpanel final : public AbstractPanel {
public:
    // Takes ownership of device; the owner calls start() afterwards.
    explicit Switchpanel(HidDevice *device);

    // Caches the gear and power state, then applies the queued reports.
    void update() override;
    // Forgets every handle so that the next bind resolves them afresh.
    void initialize() override;
    // Writes the lamp report from the cache; refresh thread only.
    void sendReport() override;
    // Applies one input report; replays are applied like live reports.
    void handleEvent(const std::uint8_t *bytes, std::uint32_t length, std::uint8_t flag,
                     std::uint32_t tick) override;
    void bindProfile(profile::Profile *aircraftProfile) override;

protected:
    // Ends the starter if the panel holds it: a panel unplugged, disabled
    // or re-created at START must not leave the engines cranking.
    void releaseDriverResources() override;

private:
    void bind();
    void resolveEngineCommands(int engines);

    void applySwitches(std::uint8_t bits);
    void applyLightsAndMagnetos(std::uint8_t bits);
    void applyGearAndStarter(std::uint8_t bits);

    void magnetoLeft();
    void magnetoRight();
    void magnetoOff();
    void magnetoBoth();
    void magnetoStart();

    void toggle(bool on, switchpanel::Command onCommand, switchpanel::Command offCommand);
    void once(switchpanel::Command command);
    void onceForEngine(switchpanel::EngineCommand command, int engineIndex);
    void setEntries(switchpanel::Dataref countRef, switchpanel::Dataref arrayRef, int value);
    void writeEngineInts(switchpanel::Dataref ref, const int (&values)[switchpanel::kMaxEngines]);
    void writeEngineFloats(switchpanel::Dataref ref,
                           const float (&values)[switchpanel::kMaxEngines]);
    bool gearTestPasses();
    // The profile's action for the switch in that position, done; false
    // when the profile leaves it to the built-in binding.
    bool profileSwitch(profile::SwitchId id, bool on);
    bool profileAction(profile::Action *actions, int position);

    profile::Profile *profile_ = nullptr;  // simulator thread

    // Handles and engine count: used on the simulator thread only (bind,
    // handleEvent, update, initialize). initialize resets them under both
    // locks so that no drain or cache fill sees a half-reset set.
    XPLMCommandRef commands_[switchpanel::kCommandCount] = {};
    XPLMDataRef datarefs_[switchpanel::kDatarefCount] = {};  // all but kIceAllOn
    // The de-ice master alone, or the simulator's de-ice switches.
    XPLMDataRef deIce_[switchpanel::kDeIceSwitchCount] = {};
    int engineCount_ = 0;
    XPLMCommandRef engineCommands_[switchpanel::kEngineCommandCount][switchpanel::kMaxEngines] = {};

    // The starter begun at START; simulator thread only.
    HeldCommands held_;

    // Filled by update, read by sendReport; guarded by dataLock.
    switchpanel::GearLampState cache_;
};

}  // namespace drovanel

#endif
