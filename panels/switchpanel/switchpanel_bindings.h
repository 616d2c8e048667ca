// The simulator commands and datarefs the Switch Panel drives, in the order
// they are resolved. The enums index the handle tables of the driver.
#ifndef DROVANEL_PANELS_SWITCHPANEL_SWITCHPANEL_BINDINGS_H
#define DROVANEL_PANELS_SWITCHPANEL_SWITCHPANEL_BINDINGS_H

namespace drovanel {
namespace switchpanel {

enum Command : int {
    kAvionicsOn,
    kAvionicsOff,
    kCowlFlapsOpen,
    kCowlFlapsClosed,
    kWingHeat0On,
    kWingHeat1On,
    kWingHeat0Off,
    kPitotHeatOn,
    kPitotHeatOff,
    kWingHeat1Off,
    kFuelPump1On,
    kFuelPump2On,
    kFuelPump1Off,
    kFuelPump2Off,
    kShutDown,
    kInvertersOff,
    kInvertersOn,
    kEngageStartRun,
    kBeaconOn,
    kBeaconOff,
    kStrobeOn,
    kStrobeOff,
    kTaxiOn,
    kTaxiOff,
    kLandingOn,
    kLandingOff,
    kNavOn,
    kNavOff,
    kGearUp,
    kGearDown,
    kCommandCount
};

constexpr const char *kCommandPaths[] = {
    "sim/systems/avionics_on",
    "sim/systems/avionics_off",
    "sim/flight_controls/cowl_flaps_open",
    "sim/flight_controls/cowl_flaps_closed",
    "sim/ice/wing_heat0_on",
    "sim/ice/wing_heat1_on",
    "sim/ice/wing_heat0_off",
    "sim/ice/pitot_heat_on",
    "sim/ice/pitot_heat_off",
    "sim/ice/wing_heat1_off",
    "sim/fuel/fuel_pump_1_on",
    "sim/fuel/fuel_pump_2_on",
    "sim/fuel/fuel_pump_1_off",
    "sim/fuel/fuel_pump_2_off",
    "sim/starters/shut_down",
    "sim/electical/inverters_off",
    "sim/electical/inverters_on",
    "sim/starters/engage_start_run",
    "sim/lights/beacon_lights_on",
    "sim/lights/beacon_lights_off",
    "sim/lights/strobe_lights_on",
    "sim/lights/strobe_lights_off",
    "sim/lights/taxi_lights_on",
    "sim/lights/taxi_lights_off",
    "sim/lights/landing_lights_on",
    "sim/lights/landing_lights_off",
    "sim/lights/nav_lights_on",
    "sim/lights/nav_lights_off",
    "sim/flight_controls/landing_gear_up",
    "sim/flight_controls/landing_gear_down",
};
static_assert(sizeof(kCommandPaths) / sizeof(kCommandPaths[0]) == kCommandCount,
              "one path per command");

// The simulator's own names for the commands whose first choice above it
// does not publish (neither 11.40 nor 12 does); bound only when the first
// choice finds NULL.
struct CommandFallback {
    Command command;
    const char *path;
};
constexpr CommandFallback kCommandFallbacks[] = {
    {kPitotHeatOn, "sim/ice/pitot_heat0_on"},  // the pilot side
    {kPitotHeatOff, "sim/ice/pitot_heat0_off"},
    {kInvertersOff, "sim/electrical/inverters_off"},
    {kInvertersOn, "sim/electrical/inverters_on"},
    {kEngageStartRun, "sim/engines/engage_starters"},  // held; all engines
};

// The fallback path of a command, or nullptr when it has none.
constexpr const char *commandFallback(int command) {
    for (const CommandFallback &entry : kCommandFallbacks) {
        if (entry.command == command) return entry.path;
    }
    return nullptr;
}

enum Dataref : int {
    kGearType,        // int[10]
    kIceAllOn,        // int; bound with kDeIceSwitchPaths, see there
    kPitotHeatPilot,  // int
    kGearDeploy,      // float[10]
    kBatteryArrayOn,  // int[8]
    kGeneratorApuOn,  // int
    kNumGenerators,   // int
    kGeneratorOn,     // int[8]
    kNumBatteries,    // int
    kCockpitLights,   // float
    kIgniterOn,       // int[8]
    kEngineMixture,   // float[8]
    kAutoIgniteOn,    // int[8]
    kIgnitionOn,      // int[8]
    kFadecOn,         // int[8]
    kNumEngines,      // int
    kDatarefCount
};

constexpr const char *kDatarefPaths[] = {
    "sim/aircraft/parts/acf_gear_type",
    "sim/cockpit2/ice/ice_all_on",
    "sim/cockpit2/ice/ice_pitot_heat_on_pilot",
    "sim/aircraft/parts/acf_gear_deploy",
    "sim/cockpit/electrical/battery_array_on",
    "sim/cockpit/electrical/generator_apu_on",
    "sim/aircraft/electrical/num_generators",
    "sim/cockpit2/electrical/generator_on",
    "sim/aircraft/electrical/num_batteries",
    "sim/cockpit/electrical/cockpit_lights",
    "sim/cockpit2/engine/actuators/igniter_on",
    "sim/flightmodel/engine/ENGN_mixt",
    "sim/cockpit2/engine/actuators/auto_ignite_on",
    "sim/cockpit2/engine/actuators/ignition_on",
    "sim/cockpit2/engine/actuators/fadec_on",
    "sim/aircraft/engine/acf_num_engines",
};
static_assert(sizeof(kDatarefPaths) / sizeof(kDatarefPaths[0]) == kDatarefCount,
              "one path per dataref");

// X-Plane 12 has no de-ice master (kIceAllOn); where the simulator lacks it,
// the de-ice switch writes these switches instead, the first taking the
// master's handle slot.
constexpr const char *kDeIceSwitchPaths[] = {
    "sim/cockpit2/ice/ice_surfce_heat_on",  // the simulator's own spelling
    "sim/cockpit2/ice/ice_window_heat_on",
    "sim/cockpit2/ice/ice_inlet_heat_on",
    "sim/cockpit2/ice/ice_prop_heat_on",
};
constexpr int kDeIceSwitchCount = sizeof(kDeIceSwitchPaths) / sizeof(kDeIceSwitchPaths[0]);

// Commands that exist once per engine; "%d" is the engine number from 1.
enum EngineCommand : int {
    kIgniterArmOn,
    kIgniterArmOff,
    kMagnetosLeft,
    kMagnetosRight,
    kEngineShutDown,
    kIgniterContinOff,
    kMagnetosBoth,
    kEngineCommandCount
};

constexpr const char *kEngineCommandFormats[] = {
    "sim/igniters/igniter_arm_on_%d",
    "sim/igniters/igniter_arm_off_%d",
    "sim/magnetos/magnetos_left_%d",
    "sim/magnetos/magnetos_right_%d",
    "sim/starters/shut_down_%d",
    "sim/igniters/igniter_contin_off_%d",
    "sim/magnetos/magnetos_both_%d",
};
static_assert(sizeof(kEngineCommandFormats) / sizeof(kEngineCommandFormats[0]) ==
                  kEngineCommandCount,
              "one format per engine command");

// The engine arrays hold 8 entries; engines beyond the eighth are not driven.
constexpr int kMaxEngines = 8;
// Longest formatted per-engine path plus room for the engine number.
constexpr int kEnginePathSize = 64;

// Upper bounds of the arrays the driver reads or writes.
constexpr int kMaxGearEntries = 10;
// Generator and battery switches write at most this many entries.
constexpr int kMaxElectricalEntries = 8;
constexpr int kMaxBatteries = kMaxElectricalEntries;

// Gear types below this are fixed gear: no lever, no lamps.
constexpr int kMinRetractableGearType = 2;

}  // namespace switchpanel
}  // namespace drovanel

#endif
