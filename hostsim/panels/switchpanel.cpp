// The Switch Panel's datarefs and report model in the host.
#include "hostsim/panels/switchpanel.h"

#include "hostsim/hostsim.h"

namespace hostsim {
namespace switchpanel {

namespace {

// Every dataref the Switch Panel driver uses, with the simulator's types.
const DatarefSpec kDatarefs[] = {
    {"sim/aircraft/parts/acf_gear_type", DataType::IntArray, 10, true},
    {"sim/cockpit2/ice/ice_all_on", DataType::Int, 1, true},
    {"sim/cockpit2/ice/ice_pitot_heat_on_pilot", DataType::Int, 1, true},
    {"sim/aircraft/parts/acf_gear_deploy", DataType::FloatArray, 10, true},
    {"sim/cockpit/electrical/battery_array_on", DataType::IntArray, 8, true},
    {"sim/cockpit/electrical/generator_apu_on", DataType::Int, 1, true},
    {"sim/aircraft/electrical/num_generators", DataType::Int, 1, true},
    {"sim/cockpit2/electrical/generator_on", DataType::IntArray, 8, true},
    {"sim/aircraft/electrical/num_batteries", DataType::Int, 1, true},
    {"sim/cockpit/electrical/cockpit_lights", DataType::Float, 1, true},
    {"sim/cockpit2/engine/actuators/igniter_on", DataType::IntArray, 8, true},
    {"sim/flightmodel/engine/ENGN_mixt", DataType::FloatArray, 8, true},
    {"sim/cockpit2/engine/actuators/auto_ignite_on", DataType::IntArray, 8, true},
    {"sim/cockpit2/engine/actuators/ignition_on", DataType::IntArray, 8, true},
    {"sim/cockpit2/engine/actuators/fadec_on", DataType::IntArray, 8, true},
    {"sim/aircraft/engine/acf_num_engines", DataType::Int, 1, true},
};

[[maybe_unused]] const bool kRegistered = [] {
    registerDatarefs(kDatarefs, sizeof kDatarefs / sizeof kDatarefs[0]);
    return true;
}();

// The panel's report layout, kept here independently of the driver's.
constexpr std::size_t kReportSize = 4;
constexpr std::uint8_t kBattery = 0x01, kGenerator = 0x02, kAvionics = 0x04, kFuelPump = 0x08,
                       kDeIce = 0x10, kPitotHeat = 0x20, kCowlFlaps = 0x40, kPanelLights = 0x80;
constexpr std::uint8_t kBeacon = 0x01, kNav = 0x02, kStrobe = 0x04, kTaxi = 0x08, kLanding = 0x10,
                       kMagnetoOff = 0x20, kMagnetoLeft = 0x40, kMagnetoRight = 0x80;
constexpr std::uint8_t kMagnetoBoth = 0x01, kMagnetoStart = 0x02, kGearUp = 0x04, kGearDown = 0x08;

constexpr std::uint8_t kDownBits[3] = {0x01, 0x02, 0x04};
constexpr std::uint8_t kTransitBits[3] = {0x08, 0x10, 0x20};

std::uint8_t bit(bool on, std::uint8_t mask) { return on ? mask : 0; }

}  // namespace

std::vector<std::uint8_t> inputReport(const Switches &s) {
    std::vector<std::uint8_t> report(kReportSize, 0);
    report[1] = bit(s.battery, kBattery) | bit(s.generator, kGenerator) |
                bit(s.avionics, kAvionics) | bit(s.fuelPump, kFuelPump) | bit(s.deIce, kDeIce) |
                bit(s.pitotHeat, kPitotHeat) | bit(s.cowlFlapsClosed, kCowlFlaps) |
                bit(s.panelLights, kPanelLights);
    report[2] = bit(s.beacon, kBeacon) | bit(s.nav, kNav) | bit(s.strobe, kStrobe) |
                bit(s.taxi, kTaxi) | bit(s.landing, kLanding) |
                bit(s.magneto == Magneto::Off, kMagnetoOff) |
                bit(s.magneto == Magneto::Left, kMagnetoLeft) |
                bit(s.magneto == Magneto::Right, kMagnetoRight);
    report[3] = bit(s.magneto == Magneto::Both, kMagnetoBoth) |
                bit(s.magneto == Magneto::Start, kMagnetoStart) |
                bit(s.gear == GearLever::Up, kGearUp) | bit(s.gear == GearLever::Down, kGearDown);
    return report;
}

Lamp gearLamp(std::uint8_t lampByte, int position) {
    if (position < 0 || position > 2) return Lamp::Off;
    const bool down = lampByte & kDownBits[position];
    const bool transit = lampByte & kTransitBits[position];
    if (down && transit) return Lamp::Both;
    if (down) return Lamp::Down;
    if (transit) return Lamp::InTransit;
    return Lamp::Off;
}

std::string gearLampsText(std::uint8_t lampByte) {
    std::string text;
    for (int position = 0; position < 3; ++position) {
        if (position > 0) text += ", ";
        text += std::to_string(position + 1);
        switch (gearLamp(lampByte, position)) {
            case Lamp::Off: text += " off"; break;
            case Lamp::Down: text += " down"; break;
            case Lamp::InTransit: text += " in transit"; break;
            case Lamp::Both: text += " down+in transit"; break;
        }
    }
    return text;
}

std::string gearLampsText(const std::vector<std::uint8_t> &featureReport) {
    if (featureReport.size() != 2 || featureReport[0] != 0) return "no lamp report";
    return gearLampsText(featureReport[1]);
}

}  // namespace switchpanel
}  // namespace hostsim
