// The Multi Panel's datarefs and report model in the host.
#include "hostsim/panels/multipanel.h"

#include "hostsim/hostsim.h"

namespace hostsim {
namespace multipanel {

namespace {

// Every host dataref the Multi Panel driver uses, with the simulator's types.
const DatarefSpec kDatarefs[] = {
    {"sim/cockpit/autopilot/autopilot_mode", DataType::Int, 1, true},
    {"sim/cockpit/warnings/annunciators/autopilot_disconnect", DataType::Int, 1, true},
    {"sim/cockpit/autopilot/autopilot_state", DataType::Int, 1, true},
    {"sim/cockpit/autopilot/backcourse_on", DataType::Int, 1, true},
    {"sim/cockpit/autopilot/altitude", DataType::Float, 1, true},
    {"sim/cockpit/autopilot/vertical_velocity", DataType::Float, 1, true},
    {"sim/cockpit/autopilot/airspeed", DataType::Float, 1, true},
    {"sim/cockpit/autopilot/airspeed_is_mach", DataType::Int, 1, true},
    {"sim/cockpit/autopilot/heading_mag", DataType::Float, 1, true},
    {"sim/cockpit2/radios/actuators/hsi_obs_deg_mag_pilot", DataType::Float, 1, true},
    {"sim/cockpit/electrical/battery_array_on", DataType::IntArray, 8, true},
    {"sim/cockpit/electrical/generator_apu_on", DataType::Int, 1, true},
    {"sim/cockpit/electrical/avionics_on", DataType::Int, 1, true},
    {"sim/cockpit2/autopilot/altitude_hold_status", DataType::Int, 1, true},
    {"sim/cockpit2/controls/elevator_trim", DataType::Float, 1, true},
};

[[maybe_unused]] const bool kRegistered = [] {
    registerDatarefs(kDatarefs, sizeof kDatarefs / sizeof kDatarefs[0]);
    return true;
}();

// The panel's report layouts, kept here independently of the driver's.
constexpr std::size_t kInputSize = 4;
constexpr std::size_t kDisplaySize = 13;
constexpr std::uint8_t kAlt = 0x01, kVs = 0x02, kIas = 0x04, kHdg = 0x08, kCrs = 0x10,
                       kEncoderUp = 0x20, kEncoderDown = 0x40, kApButton = 0x80;
constexpr std::uint8_t kHdgButton = 0x01, kNavButton = 0x02, kIasButton = 0x04,
                       kAltButton = 0x08, kVsButton = 0x10, kAprButton = 0x20,
                       kRevButton = 0x40, kAutothrottle = 0x80;
constexpr std::uint8_t kFlapsUp = 0x01, kFlapsDown = 0x02, kTrimDown = 0x04, kTrimUp = 0x08;
constexpr const char *kLampNames[8] = {"AP", "HDG", "NAV", "IAS", "ALT", "VS", "APR", "REV"};

std::uint8_t bit(bool on, std::uint8_t mask) { return on ? mask : 0; }

std::uint8_t selectorBit(Selector selector) {
    switch (selector) {
        case Selector::Alt: return kAlt;
        case Selector::Vs: return kVs;
        case Selector::Ias: return kIas;
        case Selector::Hdg: return kHdg;
        case Selector::Crs: return kCrs;
        case Selector::None: break;
    }
    return 0;
}

}  // namespace

std::vector<std::uint8_t> inputReport(const Controls &c) {
    std::vector<std::uint8_t> report(kInputSize, 0);
    report[1] = selectorBit(c.selector) | bit(c.encoder == Encoder::Up, kEncoderUp) |
                bit(c.encoder == Encoder::Down, kEncoderDown) | bit(c.ap, kApButton);
    report[2] = bit(c.hdg, kHdgButton) | bit(c.nav, kNavButton) | bit(c.ias, kIasButton) |
                bit(c.alt, kAltButton) | bit(c.vs, kVsButton) | bit(c.apr, kAprButton) |
                bit(c.rev, kRevButton) | bit(c.autothrottle, kAutothrottle);
    report[3] = bit(c.flapsUp, kFlapsUp) | bit(c.flapsDown, kFlapsDown) |
                bit(c.trimDown, kTrimDown) | bit(c.trimUp, kTrimUp);
    return report;
}

std::vector<std::uint8_t> selectorReport(Selector selector) {
    Controls c;
    c.selector = selector;
    return inputReport(c);
}

std::vector<std::uint8_t> encoderReport(Selector selector, Encoder encoder) {
    Controls c;
    c.selector = selector;
    c.encoder = encoder;
    return inputReport(c);
}

std::vector<std::uint8_t> stateAnswer(Selector selector) {
    std::vector<std::uint8_t> answer(kDisplaySize, 0);
    answer[1] = selectorBit(selector);
    return answer;
}

std::string rowText(const std::uint8_t *row) {
    std::string text;
    for (int i = 0; i < 5; ++i) {
        const std::uint8_t code = row[i];
        if (code <= 9) {
            text += static_cast<char>('0' + code);
        } else if (code >= 0xD0 && code <= 0xD9) {
            text += static_cast<char>('0' + (code - 0xD0));
            text += '.';
        } else if (code == 0xEE) {
            text += '-';
        } else if (code == 0xFF || code == 0x0F) {
            text += ' ';
        } else {
            text += '?';
        }
    }
    return text;
}

Display decodeDisplay(const std::vector<std::uint8_t> &report) {
    Display d;
    if (report.size() != kDisplaySize) return d;
    d.valid = true;
    d.dark = report[12] == 0x0F;
    d.top = rowText(&report[1]);
    d.bottom = rowText(&report[6]);
    for (int i = 0; i < 8; ++i) {
        if ((report[11] & (1u << i)) != 0) d.lamps.push_back(kLampNames[i]);
    }
    return d;
}

bool Display::lit(const std::string &lamp) const {
    for (const std::string &name : lamps) {
        if (name == lamp) return true;
    }
    return false;
}

std::string Display::text() const {
    if (!valid) return "no display report";
    if (dark) return "dark";
    std::string text = "[" + top + "] [" + bottom + "]";
    for (const std::string &name : lamps) text += " " + name;
    return text;
}

}  // namespace multipanel
}  // namespace hostsim
