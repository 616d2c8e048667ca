#include "indicator_catalogue.h"

#include <cstdint>
#include <new>

#include "bip_assignements.h"

namespace drovanel {

namespace {

enum class Kind { Plain, Engine, Fuel, Enum, Gear, Break, Ap, Dme, Marker };

struct Indicator {
    const char *name;
    Kind kind;
    const char *key;      // main dataref
    std::int32_t param;   // engine index, tank, enum value or gear down
};

constexpr const char *kEngineFires = "sim/cockpit2/annunciators/engine_fires";
constexpr const char *kOilTempHigh = "sim/cockpit/warnings/annunciators/oil_temperature_high";
constexpr const char *kOilPressureLow = "sim/cockpit/warnings/annunciators/oil_pressure_low";
constexpr const char *kFuelQuantity = "sim/cockpit2/fuel/fuel_quantity";
constexpr const char *kGearHandle = "sim/cockpit/switches/gear_handle_status";
constexpr const char *kNavComAdfMode = "sim/cockpit2/radios/actuators/nav_com_adf_mode";
constexpr const char *kHsiSource = "sim/cockpit2/radios/actuators/HSI_source_select_pilot";

constexpr Indicator kIndicators[] = {
    {"enginefire", Kind::Plain, "sim/cockpit/warnings/annunciators/engine_fire", 0},
    {"engine1fire", Kind::Engine, kEngineFires, 0},
    {"engine2fire", Kind::Engine, kEngineFires, 1},
    {"engine3fire", Kind::Engine, kEngineFires, 2},
    {"engine4fire", Kind::Engine, kEngineFires, 3},
    {"leftenginefire", Kind::Engine, kEngineFires, kLeftEngines},
    {"rightenginefire", Kind::Engine, kEngineFires, kRightEngines},
    {"lowpressure", Kind::Plain, "sim/cockpit/warnings/annunciators/hydraulic_pressure", 0},
    {"engineoiltemp", Kind::Plain, "sim/cockpit/warnings/annunciators/oil_temperature", 0},
    {"engine1oiltemp", Kind::Engine, kOilTempHigh, 0},
    {"engine2oiltemp", Kind::Engine, kOilTempHigh, 1},
    {"engine3oiltemp", Kind::Engine, kOilTempHigh, 2},
    {"engine4oiltemp", Kind::Engine, kOilTempHigh, 3},
    {"oilpressure", Kind::Plain, "sim/cockpit/warnings/annunciators/oil_pressure", 0},
    {"Engine1OilPressure", Kind::Engine, kOilPressureLow, 0},
    {"Engine2OilPressure", Kind::Engine, kOilPressureLow, 1},
    {"Engine3OilPressure", Kind::Engine, kOilPressureLow, 2},
    {"Engine4OilPressure", Kind::Engine, kOilPressureLow, 3},
    {"FuelLow", Kind::Plain, "sim/cockpit2/annunciators/fuel_quantity", 0},
    {"LeftFuelLow", Kind::Fuel, kFuelQuantity, 0},
    {"CentreFuelLow", Kind::Fuel, kFuelQuantity, 1},
    {"RightFuelLow", Kind::Fuel, kFuelQuantity, 2},
    {"FuelCrossFeed", Kind::Plain, "sim/cockpit/warnings/annunciators/crossfeed_on", 0},
    {"GearDown", Kind::Gear, kGearHandle, 1},
    {"GearUp", Kind::Gear, kGearHandle, 0},
    {"GearUnsafe", Kind::Plain, "sim/cockpit/warnings/annunciators/gear_unsafe", 0},
    {"RotorLowRpm", Kind::Plain, "sim/cockpit2/annunciators/low_rotor", 0},
    {"ADF", Kind::Enum, kNavComAdfMode, 4},
    {"DME", Kind::Dme, kHsiSource, 0},
    {"MKR", Kind::Marker, "sim/cockpit/misc/outer_marker_lit", 0},
    {"COM1", Kind::Enum, kNavComAdfMode, 2},
    {"COM2", Kind::Enum, kNavComAdfMode, 3},
    // The selector value of NAV is the same as COM2's.
    {"NAV", Kind::Enum, kNavComAdfMode, 3},
    {"GPS", Kind::Enum, kHsiSource, 2},
    {"NAV1", Kind::Enum, kHsiSource, 0},
    {"NAV2", Kind::Enum, kHsiSource, 1},
    {"Both", Kind::Enum, "sim/cockpit2/pressurization/actuators/bleed_air_mode", 2},
    {"Down", Kind::Plain, "sim/cockpit/warnings/annunciators/autopilot_trim_down", 0},
    {"Up", Kind::Plain, "sim/cockpit/warnings/annunciators/autopilot_trim_up", 0},
    {"MasterCaution", Kind::Plain, "sim/cockpit/warnings/annunciators/master_caution", 0},
    {"MasterWarning", Kind::Plain, "sim/cockpit/warnings/annunciators/master_warning", 0},
    {"StrobeLight", Kind::Plain, "sim/cockpit/electrical/strobe_lights_on", 0},
    {"BeaconLight", Kind::Plain, "sim/cockpit/electrical/beacon_lights_on", 0},
    {"LandingLights", Kind::Plain, "sim/cockpit/electrical/landing_lights_on", 0},
    {"ParkingBrakes", Kind::Break, "sim/cockpit2/controls/parking_brake_ratio", 0},
    {"PitotHeat", Kind::Plain, "sim/cockpit2/annunciators/pitot_heat", 0},
    {"StallWarning", Kind::Plain, "sim/cockpit2/annunciators/stall_warning", 0},
    {"DoorWarning", Kind::Plain, "sim/cockpit/warnings/annunciators/cabin_door_open", 0},
    {"VacLow", Kind::Plain, "sim/cockpit/warnings/annunciators/low_vacuum", 0},
    {"APMaster", Kind::Ap, "sim/cockpit/autopilot/autopilot_mode", 0},
    {"AutoPilot", Kind::Plain, "sim/cockpit/warnings/annunciators/autopilot", 0},
};
constexpr std::size_t kIndicatorCount = sizeof kIndicators / sizeof kIndicators[0];
static_assert(kIndicatorCount == 51, "the catalogue has 51 indicators");

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

BipAssignement *make(const Indicator &entry, LensColour colour) {
    switch (entry.kind) {
        case Kind::Plain: return new (std::nothrow) BipAssignement(entry.key, colour);
        case Kind::Engine: return new (std::nothrow) BipEngineAssignement(entry.key, colour, entry.param);
        case Kind::Fuel:
            return new (std::nothrow) BipFuelAssignement(colour, static_cast<std::uint32_t>(entry.param));
        case Kind::Enum: return new (std::nothrow) BipEnumAssignement(entry.key, colour, entry.param);
        case Kind::Gear: return new (std::nothrow) BipGearAssignement(colour, entry.param != 0);
        case Kind::Break: return new (std::nothrow) BipBreakAssignement(colour);
        case Kind::Ap: return new (std::nothrow) BipApAssignement(colour);
        case Kind::Dme: return new (std::nothrow) BipDMEAssignement(colour);
        case Kind::Marker: return new (std::nothrow) BipMarkerAssignement(colour);
    }
    return nullptr;
}

}  // namespace

bool equalsIgnoringAsciiCase(const char *a, const char *b) {
    for (;; ++a, ++b) {
        if (asciiLower(*a) != asciiLower(*b)) return false;
        if (*a == '\0') return true;
    }
}

BipAssignement *createAssignement(const char *name, LensColour colour) {
    if (name == nullptr) return nullptr;
    for (const Indicator &entry : kIndicators) {
        if (equalsIgnoringAsciiCase(name, entry.name)) return make(entry, colour);
    }
    return nullptr;
}

std::size_t indicatorCount() { return kIndicatorCount; }

const char *indicatorName(std::size_t entry) {
    return entry < kIndicatorCount ? kIndicators[entry].name : nullptr;
}

}  // namespace drovanel
