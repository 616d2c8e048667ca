// Every row of the BIP's indicator catalogue driven through the host: the
// lens bound by that name stays dark in a quiet aircraft and takes its
// colour once the row's own datarefs say so.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "bindings_support.h"
#include "bip/indicator_catalogue.h"

namespace drovanel {
namespace {

struct Set {
    const char *path;
    int index;
    float value;
};

struct CatalogueRow {
    const char *name;
    std::vector<Set> dark;  // on top of the quiet aircraft, the lens is dark
    std::vector<Set> lit;   // and then lit
};

constexpr const char *kFires = "sim/cockpit2/annunciators/engine_fires";
constexpr const char *kOilTemp = "sim/cockpit/warnings/annunciators/oil_temperature_high";
constexpr const char *kOilPressure = "sim/cockpit/warnings/annunciators/oil_pressure_low";
constexpr const char *kFuel = "sim/cockpit2/fuel/fuel_quantity";
constexpr const char *kGear = "sim/cockpit/switches/gear_handle_status";
constexpr const char *kMode = "sim/cockpit2/radios/actuators/nav_com_adf_mode";
constexpr const char *kHsi = "sim/cockpit2/radios/actuators/HSI_source_select_pilot";

Set plain(const char *path) { return {path, 0, 1.0f}; }

const CatalogueRow kRows[] = {
    {"enginefire", {}, {plain("sim/cockpit/warnings/annunciators/engine_fire")}},
    {"engine1fire", {}, {{kFires, 0, 1}}},
    {"engine2fire", {}, {{kFires, 1, 1}}},
    {"engine3fire", {}, {{kFires, 2, 1}}},
    {"engine4fire", {}, {{kFires, 3, 1}}},
    {"leftenginefire", {{kFires, 2, 1}}, {{kFires, 1, 1}}},  // engines 1-2 of 4
    {"rightenginefire", {{kFires, 1, 1}}, {{kFires, 2, 1}}},
    {"lowpressure", {}, {plain("sim/cockpit/warnings/annunciators/hydraulic_pressure")}},
    {"engineoiltemp", {}, {plain("sim/cockpit/warnings/annunciators/oil_temperature")}},
    {"engine1oiltemp", {}, {{kOilTemp, 0, 1}}},
    {"engine2oiltemp", {}, {{kOilTemp, 1, 1}}},
    {"engine3oiltemp", {}, {{kOilTemp, 2, 1}}},
    {"engine4oiltemp", {}, {{kOilTemp, 3, 1}}},
    {"oilpressure", {}, {plain("sim/cockpit/warnings/annunciators/oil_pressure")}},
    {"Engine1OilPressure", {}, {{kOilPressure, 0, 1}}},
    {"Engine2OilPressure", {}, {{kOilPressure, 1, 1}}},
    {"Engine3OilPressure", {}, {{kOilPressure, 2, 1}}},
    {"Engine4OilPressure", {}, {{kOilPressure, 3, 1}}},
    {"FuelLow", {}, {plain("sim/cockpit2/annunciators/fuel_quantity")}},
    {"LeftFuelLow", {}, {{kFuel, 0, 1}}},
    {"CentreFuelLow", {}, {{kFuel, 1, 1}}},
    {"RightFuelLow", {}, {{kFuel, 2, 1}}},
    {"FuelCrossFeed", {}, {plain("sim/cockpit/warnings/annunciators/crossfeed_on")}},
    {"GearDown", {}, {{kGear, 0, 1}}},
    {"GearUp", {{kGear, 0, 1}}, {{kGear, 0, 0}}},
    {"GearUnsafe", {}, {plain("sim/cockpit/warnings/annunciators/gear_unsafe")}},
    {"RotorLowRpm", {}, {plain("sim/cockpit2/annunciators/low_rotor")}},
    {"ADF", {}, {{kMode, 0, 4}}},
    {"DME", {}, {plain("sim/cockpit2/radios/indicators/dme_has_dme")}},
    {"MKR", {}, {plain("sim/cockpit/misc/outer_marker_lit")}},
    {"COM1", {}, {{kMode, 0, 2}}},
    {"COM2", {}, {{kMode, 0, 3}}},
    {"NAV", {}, {{kMode, 0, 3}}},
    {"GPS", {}, {{kHsi, 0, 2}}},
    {"NAV1", {{kHsi, 0, 1}}, {{kHsi, 0, 0}}},
    {"NAV2", {}, {{kHsi, 0, 1}}},
    {"Both", {}, {{"sim/cockpit2/pressurization/actuators/bleed_air_mode", 0, 2}}},
    {"Down", {}, {plain("sim/cockpit/warnings/annunciators/autopilot_trim_down")}},
    {"Up", {}, {plain("sim/cockpit/warnings/annunciators/autopilot_trim_up")}},
    {"MasterCaution", {}, {plain("sim/cockpit/warnings/annunciators/master_caution")}},
    {"MasterWarning", {}, {plain("sim/cockpit/warnings/annunciators/master_warning")}},
    {"StrobeLight", {}, {plain("sim/cockpit/electrical/strobe_lights_on")}},
    {"BeaconLight", {}, {plain("sim/cockpit/electrical/beacon_lights_on")}},
    {"LandingLights", {}, {plain("sim/cockpit/electrical/landing_lights_on")}},
    {"ParkingBrakes", {}, {{"sim/cockpit2/controls/parking_brake_ratio", 0, 0.5f}}},
    {"PitotHeat", {}, {plain("sim/cockpit2/annunciators/pitot_heat")}},
    {"StallWarning", {}, {plain("sim/cockpit2/annunciators/stall_warning")}},
    {"DoorWarning", {}, {plain("sim/cockpit/warnings/annunciators/cabin_door_open")}},
    {"VacLow", {}, {plain("sim/cockpit/warnings/annunciators/low_vacuum")}},
    {"APMaster", {}, {{"sim/cockpit/autopilot/autopilot_mode", 0, 2}}},
    {"AutoPilot", {}, {plain("sim/cockpit/warnings/annunciators/autopilot")}},
};

// A powered four-engine aircraft with three tanks well filled, nothing
// annunciated, every selector at a value no row lights on.
void quietAircraft() {
    hostsim::reset();
    hostsim::setInt("sim/aircraft/electrical/num_batteries", 1);
    hostsim::setIntAt("sim/cockpit/electrical/battery_array_on", 0, 1);
    hostsim::setInt("sim/aircraft/engine/acf_num_engines", 4);
    hostsim::setInt("sim/aircraft/overflow/acf_num_tanks", 3);
    hostsim::setFloat("sim/aircraft/weight/acf_m_fuel_tot", 400.0f);
    for (int tank = 0; tank < 3; ++tank) {
        hostsim::setFloatAt("sim/aircraft/overflow/acf_tank_rat", tank, 1.0f / 3.0f);
        hostsim::setFloatAt(kFuel, tank, 45.0f);
    }
    hostsim::setInt(kMode, 0);
    hostsim::setInt(kHsi, 5);
}

void apply(const std::vector<Set> &sets) {
    for (const Set &s : sets) hostsim::setFloatAt(s.path, s.index, s.value);
}

TEST(BipCatalogueTest, EveryRowLightsOnItsOwnDatarefs) {
    std::set<std::string> covered;
    for (const CatalogueRow &row : kRows) {
        SCOPED_TRACE(row.name);
        covered.insert(row.name);
        quietAircraft();
        apply(row.dark);
        std::unique_ptr<BipAssignement> lens(createAssignement(row.name, kLensGreen));
        ASSERT_NE(lens, nullptr);
        lens->evaluate();
        EXPECT_EQ(lens->shown, kLensOff);
        apply(row.lit);
        lens->evaluate();
        EXPECT_EQ(lens->shown, kLensGreen);
        EXPECT_TRUE(lens->isPowered());
    }
    for (std::size_t i = 0; i < indicatorCount(); ++i) {
        EXPECT_EQ(covered.count(indicatorName(i)), 1u) << indicatorName(i) << " has no row";
    }
    hostsim::reset();
}

}  // namespace
}  // namespace drovanel
