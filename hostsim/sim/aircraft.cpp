#include "hostsim/sim/aircraft.h"

#include <cstring>

#include "hostsim/hostsim.h"

namespace hostsim {
namespace sim {

namespace {

constexpr int kGearLegs = 3;
constexpr int kRetractableGear = 2;  // gear types from 2 up retract
constexpr float kFuelTotalLb = 400.0f;
constexpr float kFuelPerTankKg = 45.0f;

// autopilot_state flags the mode commands engage.
constexpr int kAutothrottle = 0x00001;
constexpr int kHeadingHold = 0x00002;
constexpr int kSpeedWithPitch = 0x00008;
constexpr int kVerticalSpeed = 0x00010;
constexpr int kAltitudeArmed = 0x00020;
constexpr int kNavEngaged = 0x00200;
constexpr int kGlideslope = 0x00800;
constexpr int kAltitudeHold = 0x04000;

constexpr const char *kApState = "sim/cockpit/autopilot/autopilot_state";

struct Toggle {
    const char *command;
    int flag;
};
constexpr Toggle kModeToggles[] = {
    {"sim/autopilot/heading", kHeadingHold},       {"sim/autopilot/NAV", kNavEngaged},
    {"sim/autopilot/approach", kGlideslope},       {"sim/autopilot/altitude_hold", kAltitudeHold},
    {"sim/autopilot/vertical_speed", kVerticalSpeed}, {"sim/autopilot/airspeed_sync", kSpeedWithPitch},
};

struct Nudge {
    const char *command;
    const char *dataref;
    float delta;
};
constexpr Nudge kNudges[] = {
    {"sim/autopilot/altitude_up", "sim/cockpit/autopilot/altitude", 100.0f},
    {"sim/autopilot/altitude_down", "sim/cockpit/autopilot/altitude", -100.0f},
    {"sim/autopilot/airspeed_up", "sim/cockpit/autopilot/airspeed", 1.0f},
    {"sim/autopilot/airspeed_down", "sim/cockpit/autopilot/airspeed", -1.0f},
    {"sim/autopilot/vertical_speed_up", "sim/cockpit/autopilot/vertical_velocity", 100.0f},
    {"sim/autopilot/vertical_speed_down", "sim/cockpit/autopilot/vertical_velocity", -100.0f},
};

struct Switch {
    const char *command;
    const char *dataref;
    int value;
};
constexpr Switch kSwitches[] = {
    {"sim/systems/avionics_on", "sim/cockpit/electrical/avionics_on", 1},
    {"sim/systems/avionics_off", "sim/cockpit/electrical/avionics_on", 0},
    {"sim/lights/beacon_lights_on", "sim/cockpit/electrical/beacon_lights_on", 1},
    {"sim/lights/beacon_lights_off", "sim/cockpit/electrical/beacon_lights_on", 0},
    {"sim/lights/strobe_lights_on", "sim/cockpit/electrical/strobe_lights_on", 1},
    {"sim/lights/strobe_lights_off", "sim/cockpit/electrical/strobe_lights_on", 0},
    {"sim/lights/landing_lights_on", "sim/cockpit/electrical/landing_lights_on", 1},
    {"sim/lights/landing_lights_off", "sim/cockpit/electrical/landing_lights_on", 0},
};

void setFlag(int flag, bool on) {
    const int state = getInt(kApState);
    setInt(kApState, on ? state | flag : state & ~flag);
}

}  // namespace

void Aircraft::reset() {
    seen_ = commandJournal().size();
    gearTarget_ = 0.0f;
    setInt("sim/aircraft/electrical/num_batteries", 1);
    setInt("sim/aircraft/electrical/num_generators", 1);
    setInt("sim/aircraft/engine/acf_num_engines", 1);
    setFloat("sim/cockpit/electrical/instrument_brightness", 1.0f);
    for (int leg = 0; leg < kGearLegs; ++leg) setIntAt("sim/aircraft/parts/acf_gear_type", leg, kRetractableGear);
    setInt("sim/aircraft/overflow/acf_num_tanks", 3);
    setFloat("sim/aircraft/weight/acf_m_fuel_tot", kFuelTotalLb);
    for (int tank = 0; tank < 3; ++tank) {
        setFloatAt("sim/aircraft/overflow/acf_tank_rat", tank, 1.0f / 3.0f);
        setFloatAt("sim/cockpit2/fuel/fuel_quantity", tank, kFuelPerTankKg);
    }
}

void Aircraft::answer(const char *path) {
    for (const Toggle &t : kModeToggles) {
        if (std::strcmp(path, t.command) == 0) return setFlag(t.flag, (getInt(kApState) & t.flag) == 0);
    }
    for (const Nudge &n : kNudges) {
        if (std::strcmp(path, n.command) == 0) return setFloat(n.dataref, getFloat(n.dataref) + n.delta);
    }
    for (const Switch &s : kSwitches) {
        if (std::strcmp(path, s.command) == 0) return setInt(s.dataref, s.value);
    }
    if (std::strcmp(path, "sim/autopilot/autothrottle_on") == 0) return setFlag(kAutothrottle, true);
    if (std::strcmp(path, "sim/autopilot/autothrottle_off") == 0) return setFlag(kAutothrottle, false);
    if (std::strcmp(path, "sim/autopilot/altitude_arm") == 0) return setFlag(kAltitudeArmed, true);
    if (std::strcmp(path, "sim/autopilot/back_course") == 0) {
        const char *backCourse = "sim/cockpit/autopilot/backcourse_on";
        return setInt(backCourse, getInt(backCourse) == 0 ? 1 : 0);
    }
    if (std::strcmp(path, "sim/flight_controls/landing_gear_down") == 0) {
        gearTarget_ = 1.0f;
        setInt("sim/cockpit/switches/gear_handle_status", 1);
    } else if (std::strcmp(path, "sim/flight_controls/landing_gear_up") == 0) {
        gearTarget_ = 0.0f;
        setInt("sim/cockpit/switches/gear_handle_status", 0);
    }
}

void Aircraft::step() {
    const std::vector<CommandCall> &journal = commandJournal();
    // A reset of the host empties the journal under us.
    if (seen_ > journal.size()) seen_ = 0;
    for (; seen_ < journal.size(); ++seen_) {
        if (journal[seen_].phase != CommandPhase::End) answer(journal[seen_].path.c_str());
    }

    bool moving = false;
    for (int leg = 0; leg < kGearLegs; ++leg) {
        float deploy = getFloatAt("sim/aircraft/parts/acf_gear_deploy", leg);
        if (deploy < gearTarget_) {
            deploy = deploy + kGearStep > gearTarget_ ? gearTarget_ : deploy + kGearStep;
        } else if (deploy > gearTarget_) {
            deploy = deploy - kGearStep < gearTarget_ ? gearTarget_ : deploy - kGearStep;
        }
        setFloatAt("sim/aircraft/parts/acf_gear_deploy", leg, deploy);
        moving = moving || (deploy > 0.0f && deploy < 1.0f);
    }
    setInt("sim/cockpit/warnings/annunciators/gear_unsafe", moving ? 1 : 0);
}

}  // namespace sim
}  // namespace hostsim
