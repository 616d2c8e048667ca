#include "hostsim/panels/radiopanel.h"

#include <iterator>

#include "hostsim/hostsim.h"

namespace hostsim {
namespace radiopanel {

namespace {

const DatarefSpec kRadioDatarefs[] = {
    {"sim/cockpit/radios/nav_com_adf_mode", DataType::Int, 1, true},
    {"sim/cockpit/radios/nav1_freq_hz", DataType::Int, 1, true},
    {"sim/cockpit/radios/nav1_stdby_freq_hz", DataType::Int, 1, true},
    {"sim/cockpit/radios/nav1_dme_dist_m", DataType::Float, 1, true},
    {"sim/cockpit/radios/nav1_dme_speed_kts", DataType::Float, 1, true},
    {"sim/cockpit/radios/nav2_freq_hz", DataType::Int, 1, true},
    {"sim/cockpit/radios/nav2_stdby_freq_hz", DataType::Int, 1, true},
    {"sim/cockpit/radios/nav2_dme_dist_m", DataType::Float, 1, true},
    {"sim/cockpit/radios/nav2_dme_speed_kts", DataType::Float, 1, true},
    {"sim/cockpit/radios/com1_freq_hz", DataType::Int, 1, true},
    {"sim/cockpit/radios/com1_stdby_freq_hz", DataType::Int, 1, true},
    {"sim/cockpit/radios/com2_freq_hz", DataType::Int, 1, true},
    {"sim/cockpit/radios/com2_stdby_freq_hz", DataType::Int, 1, true},
    {"sim/cockpit/radios/adf1_freq_hz", DataType::Int, 1, true},
    {"sim/cockpit/radios/adf1_stdby_freq_hz", DataType::Int, 1, true},
    {"sim/cockpit/radios/adf1_dme_dist_m", DataType::Float, 1, true},
    {"sim/cockpit/radios/adf1_dme_speed_kts", DataType::Float, 1, true},
    {"sim/cockpit/radios/adf2_freq_hz", DataType::Int, 1, true},
    {"sim/cockpit/radios/adf2_stdby_freq_hz", DataType::Int, 1, true},
    {"sim/cockpit/radios/dme_freq_hz", DataType::Int, 1, true},
    {"sim/cockpit/radios/dme_stdby_freq_hz", DataType::Int, 1, true},
    {"sim/cockpit/radios/standalone_dme_dist_m", DataType::Float, 1, true},
    {"sim/cockpit/radios/standalone_dme_speed_kts", DataType::Float, 1, true},
    {"sim/cockpit/radios/transponder_code", DataType::Int, 1, true},
    {"sim/cockpit/electrical/battery_array_on", DataType::IntArray, 8, true},
    {"sim/cockpit/electrical/generator_apu_on", DataType::Int, 1, true},
    {"sim/cockpit/electrical/avionics_on", DataType::Int, 1, true},
};

const bool kRegistered = (registerDatarefs(kRadioDatarefs, std::size(kRadioDatarefs)), true);

struct Position {
    int byteIndex;
    std::uint8_t mask;
};

// Where each selector position shows in the report: the lower row's COM1
// sits in byte 1 beside the upper row's positions.
Position upperPosition(Selector s) {
    switch (s) {
        case Selector::Com1: return {1, 0x01};
        case Selector::Com2: return {1, 0x02};
        case Selector::Nav1: return {1, 0x04};
        case Selector::Nav2: return {1, 0x08};
        case Selector::Adf: return {1, 0x10};
        case Selector::Dme: return {1, 0x20};
        case Selector::Xpdr: return {1, 0x40};
    }
    return {1, 0};
}

Position lowerPosition(Selector s) {
    switch (s) {
        case Selector::Com1: return {1, 0x80};
        case Selector::Com2: return {2, 0x01};
        case Selector::Nav1: return {2, 0x02};
        case Selector::Nav2: return {2, 0x04};
        case Selector::Adf: return {2, 0x08};
        case Selector::Dme: return {2, 0x10};
        case Selector::Xpdr: return {2, 0x20};
    }
    return {2, 0};
}

struct ControlBit {
    unsigned control;
    int byteIndex;
    std::uint8_t mask;
};

constexpr ControlBit kControlBits[] = {
    {kUpperFineUp, 3, 0x01},   {kUpperFineDown, 3, 0x02}, {kUpperCoarseUp, 3, 0x04},
    {kUpperCoarseDown, 3, 0x08}, {kLowerFineUp, 3, 0x10}, {kLowerFineDown, 3, 0x20},
    {kLowerCoarseUp, 3, 0x40}, {kLowerCoarseDown, 3, 0x80}, {kUpperActStby, 2, 0x40},
    {kLowerActStby, 2, 0x80},
};

std::string displayString(const std::uint8_t *positions) {
    std::string text;
    for (int i = 0; i < 5; ++i) {
        const std::uint8_t code = positions[i];
        if (code <= 0x09) {
            text += static_cast<char>('0' + code);
        } else if (code >= 0xD0 && code <= 0xD9) {
            text += static_cast<char>('0' + (code - 0xD0));
            text += '.';
        } else if (code == 0xFF) {
            text += ' ';
        } else {
            text += '?';
        }
    }
    return text;
}

}  // namespace

std::vector<std::uint8_t> inputReport(Selector upper, Selector lower, unsigned controls) {
    (void)kRegistered;
    std::vector<std::uint8_t> report(4, 0);
    const Position u = upperPosition(upper);
    const Position l = lowerPosition(lower);
    report[static_cast<std::size_t>(u.byteIndex)] |= u.mask;
    report[static_cast<std::size_t>(l.byteIndex)] |= l.mask;
    for (const ControlBit &bit : kControlBits) {
        if ((controls & bit.control) != 0) report[static_cast<std::size_t>(bit.byteIndex)] |= bit.mask;
    }
    return report;
}

bool decodeDisplays(const std::vector<std::uint8_t> &report, Displays *displays) {
    if (report.size() != kDisplayReportSize || report[0] != 0x00) return false;
    displays->upperActive = displayString(&report[1]);
    displays->upperStandby = displayString(&report[6]);
    displays->lowerActive = displayString(&report[11]);
    displays->lowerStandby = displayString(&report[16]);
    return true;
}

std::string displayText(const std::vector<std::uint8_t> &report) {
    Displays d;
    if (!decodeDisplays(report, &d)) return "";
    return "[" + d.upperActive + "] [" + d.upperStandby + "]\n[" + d.lowerActive + "] [" + d.lowerStandby +
           "]\n";
}

std::vector<std::uint8_t> latestDisplay(int device) {
    return latestFeature(device, 0x00, kDisplayReportSize);
}

}  // namespace radiopanel
}  // namespace hostsim
