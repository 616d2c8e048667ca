#include "multipanel_refs.h"

namespace drovanel {
namespace multipanel {

namespace {
enum class Kind { Dataref, Command };

struct Binding {
    const char *path;
    void *MultipanelRefs::*member;
    Kind kind;
};

constexpr Binding kBindings[] = {
    {"sim/cockpit/autopilot/autopilot_mode", &MultipanelRefs::apModeRef, Kind::Dataref},
    {"sim/cockpit/warnings/annunciators/autopilot_disconnect", &MultipanelRefs::apDisconnectRef,
     Kind::Dataref},
    {"sim/cockpit/autopilot/autopilot_state", &MultipanelRefs::apStateRef, Kind::Dataref},
    {"sim/cockpit/autopilot/backcourse_on", &MultipanelRefs::backCourseRef, Kind::Dataref},
    {"sim/cockpit/autopilot/altitude", &MultipanelRefs::apAltitudeRef, Kind::Dataref},
    {"sim/cockpit/autopilot/vertical_velocity", &MultipanelRefs::apVerticalSpeedRef, Kind::Dataref},
    {"sim/cockpit/autopilot/airspeed", &MultipanelRefs::apAirspeedRef, Kind::Dataref},
    {"sim/cockpit/autopilot/airspeed_is_mach", &MultipanelRefs::apAirspeedIsMachRef, Kind::Dataref},
    {"sim/cockpit/autopilot/heading_mag", &MultipanelRefs::apHeadingRef, Kind::Dataref},
    {"sim/cockpit2/radios/actuators/hsi_obs_deg_mag_pilot", &MultipanelRefs::obsRef, Kind::Dataref},
    {"sim/cockpit/electrical/battery_array_on", &MultipanelRefs::batteryOnRef, Kind::Dataref},
    {"sim/cockpit/electrical/generator_apu_on", &MultipanelRefs::apuGeneratorOnRef, Kind::Dataref},
    {"sim/cockpit/electrical/avionics_on", &MultipanelRefs::avionicsOnRef, Kind::Dataref},
    {"sim/cockpit2/autopilot/altitude_hold_status", &MultipanelRefs::altitudeHoldStatusRef,
     Kind::Dataref},
    {"sim/cockpit2/controls/elevator_trim", &MultipanelRefs::elevatorTrimRef, Kind::Dataref},
    {"sim/autopilot/altitude_down", &MultipanelRefs::altitudeDownCmd, Kind::Command},
    {"sim/autopilot/altitude_up", &MultipanelRefs::altitudeUpCmd, Kind::Command},
    {"sim/autopilot/altitude_arm", &MultipanelRefs::altitudeArmCmd, Kind::Command},
    {"sim/autopilot/altitude_hold", &MultipanelRefs::altitudeHoldCmd, Kind::Command},
    {"sim/autopilot/airspeed_down", &MultipanelRefs::airspeedDownCmd, Kind::Command},
    {"sim/autopilot/airspeed_up", &MultipanelRefs::airspeedUpCmd, Kind::Command},
    {"sim/autopilot/vertical_speed_up", &MultipanelRefs::verticalSpeedUpCmd, Kind::Command},
    {"sim/autopilot/vertical_speed_down", &MultipanelRefs::verticalSpeedDownCmd, Kind::Command},
    {"sim/autopilot/autothrottle_on", &MultipanelRefs::autothrottleOnCmd, Kind::Command},
    {"sim/autopilot/autothrottle_off", &MultipanelRefs::autothrottleOffCmd, Kind::Command},
    {"sim/autopilot/approach", &MultipanelRefs::approachCmd, Kind::Command},
    {"sim/autopilot/vertical_speed", &MultipanelRefs::verticalSpeedCmd, Kind::Command},
    {"sim/autopilot/heading", &MultipanelRefs::headingCmd, Kind::Command},
    {"sim/autopilot/airspeed_sync", &MultipanelRefs::airspeedSyncCmd, Kind::Command},
    {"sim/autopilot/NAV", &MultipanelRefs::navCmd, Kind::Command},
    {"sim/autopilot/back_course", &MultipanelRefs::backCourseCmd, Kind::Command},
    {"sim/flight_controls/flaps_up", &MultipanelRefs::flapsUpCmd, Kind::Command},
    {"sim/flight_controls/flaps_down", &MultipanelRefs::flapsDownCmd, Kind::Command},
    {"x737/systems/afds/plugin_status", &MultipanelRefs::x737StatusRef, Kind::Dataref},
    {"x737/systems/afds/CMD_A", &MultipanelRefs::cmdARef, Kind::Dataref},
    {"x737/systems/afds/fdA_status", &MultipanelRefs::fdARef, Kind::Dataref},
    {"x737/systems/afds/HDG", &MultipanelRefs::hdgSelRef, Kind::Dataref},
    {"x737/systems/afds/VORLOC_armed", &MultipanelRefs::vorLocArmedRef, Kind::Dataref},
    {"x737/systems/afds/VORLOC", &MultipanelRefs::vorLocRef, Kind::Dataref},
    {"x737/systems/athr/athr_armed", &MultipanelRefs::athrArmedRef, Kind::Dataref},
    {"x737/systems/athr/MCPSPD_mode", &MultipanelRefs::mcpSpdModeRef, Kind::Dataref},
    {"x737/systems/afds/ALTHLD", &MultipanelRefs::altHoldRef, Kind::Dataref},
    {"x737/systems/afds/APP_toggle", &MultipanelRefs::appToggleRef, Kind::Dataref},
    {"x737/systems/afds/VS_arm", &MultipanelRefs::vsArmRef, Kind::Dataref},
    {"x737/systems/afds/VS", &MultipanelRefs::vsEngagedRef, Kind::Dataref},
    {"x737/systems/afds/ALTHLD_baroalt", &MultipanelRefs::mcpAltitudeRef, Kind::Dataref},
    {"x737/systems/afds/VS_vvi", &MultipanelRefs::mcpVerticalSpeedRef, Kind::Dataref},
    {"x737/systems/athr/MCPSPD_spd", &MultipanelRefs::mcpSpeedRef, Kind::Dataref},
    {"x737/systems/athr/MCPSPD_spdkias", &MultipanelRefs::mcpSpeedKiasRef, Kind::Dataref},
    {"x737/systems/athr/MCPSPD_ismach", &MultipanelRefs::mcpSpeedIsMachRef, Kind::Dataref},
    {"x737/systems/afds/HDG_magnhdg", &MultipanelRefs::mcpHeadingRef, Kind::Dataref},
    {"x737/systems/athr/MCPSPD_overspeed", &MultipanelRefs::mcpOverspeedRef, Kind::Dataref},
};
static_assert(sizeof(kBindings) / sizeof(kBindings[0]) == kReferenceCount,
              "every reference has one binding");
static_assert(sizeof(MultipanelRefs) == kReferenceCount * sizeof(void *),
              "every reference field is bound");
}  // namespace

void bindReferences(MultipanelRefs &refs) {
    for (const Binding &binding : kBindings) {
        void *&handle = refs.*(binding.member);
        if (handle != nullptr) continue;
        handle = binding.kind == Kind::Command ? XPLMFindCommand(binding.path)
                                               : XPLMFindDataRef(binding.path);
    }
}

const char *referencePath(std::size_t index) {
    return index < kReferenceCount ? kBindings[index].path : nullptr;
}

}  // namespace multipanel
}  // namespace drovanel
