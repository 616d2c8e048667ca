// The BIP's datarefs and report model in the host.
#include "hostsim/panels/bip.h"

#include "hostsim/hostsim.h"

namespace hostsim {
namespace bip {

namespace {

// Every dataref the BIP's lens bindings and indicator names use, with the
// simulator's types.
const DatarefSpec kDatarefs[] = {
    // Lamp test, power and panel brightness.
    {"sim/cockpit/warnings/annunciator_test_pressed", DataType::Int, 1, true},
    {"sim/aircraft/electrical/num_batteries", DataType::Int, 1, true},
    {"sim/aircraft/electrical/num_generators", DataType::Int, 1, true},
    {"sim/cockpit/electrical/battery_array_on", DataType::IntArray, 8, true},
    {"sim/cockpit/electrical/generator_on", DataType::IntArray, 8, true},
    {"sim/cockpit/electrical/generator_apu_on", DataType::Int, 1, true},
    {"sim/cockpit/engine/APU_running", DataType::Int, 1, true},
    {"sim/cockpit/electrical/instrument_brightness", DataType::Float, 1, true},
    // Engines.
    {"sim/aircraft/engine/acf_num_engines", DataType::Int, 1, true},
    {"sim/cockpit/warnings/annunciators/engine_fire", DataType::Int, 1, true},
    {"sim/cockpit2/annunciators/engine_fires", DataType::IntArray, 8, true},
    {"sim/cockpit/warnings/annunciators/hydraulic_pressure", DataType::Int, 1, true},
    {"sim/cockpit/warnings/annunciators/oil_temperature", DataType::Int, 1, true},
    {"sim/cockpit/warnings/annunciators/oil_temperature_high", DataType::IntArray, 8, true},
    {"sim/cockpit/warnings/annunciators/oil_pressure", DataType::Int, 1, true},
    {"sim/cockpit/warnings/annunciators/oil_pressure_low", DataType::IntArray, 8, true},
    // Fuel.
    {"sim/cockpit2/annunciators/fuel_quantity", DataType::Int, 1, true},
    {"sim/cockpit2/fuel/fuel_quantity", DataType::FloatArray, 9, true},
    {"sim/aircraft/overflow/acf_num_tanks", DataType::Int, 1, true},
    {"sim/aircraft/weight/acf_m_fuel_tot", DataType::Float, 1, true},
    {"sim/aircraft/overflow/acf_tank_rat", DataType::FloatArray, 9, true},
    {"sim/cockpit/warnings/annunciators/crossfeed_on", DataType::Int, 1, true},
    // Gear, brakes, rotor.
    {"sim/cockpit/switches/gear_handle_status", DataType::Int, 1, true},
    {"sim/cockpit/warnings/annunciators/gear_unsafe", DataType::Int, 1, true},
    {"sim/cockpit2/annunciators/low_rotor", DataType::Int, 1, true},
    {"sim/cockpit2/controls/parking_brake_ratio", DataType::Float, 1, true},
    // Radios.
    {"sim/cockpit2/radios/actuators/nav_com_adf_mode", DataType::Int, 1, true},
    {"sim/cockpit2/radios/actuators/HSI_source_select_pilot", DataType::Int, 1, true},
    {"sim/cockpit2/radios/indicators/nav1_has_dme", DataType::Int, 1, true},
    {"sim/cockpit2/radios/indicators/nav2_has_dme", DataType::Int, 1, true},
    {"sim/cockpit2/radios/indicators/gps_has_dme", DataType::Int, 1, true},
    {"sim/cockpit2/radios/indicators/adf1_has_dme", DataType::Int, 1, true},
    {"sim/cockpit2/radios/indicators/adf2_has_dme", DataType::Int, 1, true},
    {"sim/cockpit2/radios/indicators/dme_has_dme", DataType::Int, 1, true},
    {"sim/cockpit/misc/outer_marker_lit", DataType::Int, 1, true},
    {"sim/cockpit/misc/middle_marker_lit", DataType::Int, 1, true},
    {"sim/cockpit/misc/inner_marker_lit", DataType::Int, 1, true},
    // Bleed air, autopilot trim, warnings.
    {"sim/cockpit2/pressurization/actuators/bleed_air_mode", DataType::Int, 1, true},
    {"sim/cockpit/warnings/annunciators/autopilot_trim_down", DataType::Int, 1, true},
    {"sim/cockpit/warnings/annunciators/autopilot_trim_up", DataType::Int, 1, true},
    {"sim/cockpit/warnings/annunciators/master_caution", DataType::Int, 1, true},
    {"sim/cockpit/warnings/annunciators/master_warning", DataType::Int, 1, true},
    {"sim/cockpit2/annunciators/pitot_heat", DataType::Int, 1, true},
    {"sim/cockpit2/annunciators/stall_warning", DataType::Int, 1, true},
    {"sim/cockpit/warnings/annunciators/cabin_door_open", DataType::Int, 1, true},
    {"sim/cockpit/warnings/annunciators/low_vacuum", DataType::Int, 1, true},
    {"sim/cockpit/warnings/annunciators/autopilot", DataType::Int, 1, true},
    {"sim/cockpit/autopilot/autopilot_mode", DataType::Int, 1, true},
    // Lights.
    {"sim/cockpit/electrical/strobe_lights_on", DataType::Int, 1, true},
    {"sim/cockpit/electrical/beacon_lights_on", DataType::Int, 1, true},
    {"sim/cockpit/electrical/landing_lights_on", DataType::Int, 1, true},
};

[[maybe_unused]] const bool kRegistered = [] {
    registerDatarefs(kDatarefs, sizeof kDatarefs / sizeof kDatarefs[0]);
    return true;
}();

// The panel's report layout, kept here independently of the driver's:
// green elements of lenses 0-23 in bytes 1-3, red elements in bytes 4-6.
constexpr std::uint8_t kLampReportId = 0xB8;
constexpr std::size_t kLampReportSize = 7;
constexpr std::size_t kGreenBytes = 1;
constexpr std::size_t kRedBytes = 4;
constexpr std::uint8_t kBrightnessReportId = 0xB2;
constexpr std::size_t kBrightnessReportSize = 2;

bool lensBit(const std::vector<std::uint8_t> &report, std::size_t firstByte, int lens) {
    return (report[firstByte + static_cast<std::size_t>(lens / 8)] >> (lens % 8)) & 1;
}

}  // namespace

std::vector<std::string> lensColours(const std::vector<std::uint8_t> &lampReport) {
    std::vector<std::string> colours;
    if (lampReport.size() != kLampReportSize || lampReport[0] != kLampReportId) return colours;
    for (int lens = 0; lens < kLensCount; ++lens) {
        bool green = lensBit(lampReport, kGreenBytes, lens);
        bool red = lensBit(lampReport, kRedBytes, lens);
        colours.push_back(red && green ? "A" : red ? "R" : green ? "G" : "-");
    }
    return colours;
}

std::string lensText(const std::vector<std::uint8_t> &lampReport) {
    std::vector<std::string> colours = lensColours(lampReport);
    if (colours.empty()) return "no lamp report";
    std::string text;
    for (int lens = 0; lens < kLensCount; ++lens) {
        text += colours[static_cast<std::size_t>(lens)];
        text += lens % 8 == 7 ? "\n" : " ";
    }
    return text;
}

int brightness(const std::vector<std::uint8_t> &brightnessReport) {
    if (brightnessReport.size() != kBrightnessReportSize || brightnessReport[0] != kBrightnessReportId) return -1;
    return brightnessReport[1];
}

}  // namespace bip
}  // namespace hostsim
