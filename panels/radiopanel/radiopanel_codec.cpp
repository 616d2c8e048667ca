#include "radiopanel_codec.h"

#include <cmath>
#include <cstring>

#include "single_precision.h"

namespace drovanel {
namespace radio {

namespace {

constexpr float kHundredths = 100.0f;

void fillBlank(std::uint8_t *positions) { std::memset(positions, kBlankCode, kDigitsPerDisplay); }

std::uint8_t digitCode(int digit) { return static_cast<std::uint8_t>(digit); }

// Values of up to three digits sit right-aligned behind two blanks. Longer
// ones (ADF 1750 kHz, DME 12.5 nm) would put a number of 10 or more into one
// position, which the panel cannot show, so they take as many positions as
// they need; beyond five digits the display stays blank.
void encodeThreeDigit(int v, std::uint8_t *positions) {
    fillBlank(positions);
    if (v < 1000) {
        positions[2] = digitCode(v / 100);
        positions[3] = digitCode((v % 100) / 10);
        positions[4] = digitCode(v % 10);
        return;
    }
    if (v > 99999) return;
    for (int i = 4; i >= 0 && v > 0; --i) {
        positions[i] = digitCode(v % 10);
        v /= 10;
    }
}

}  // namespace

void encodeValue(DisplayFormat format, int v, std::uint8_t *positions) {
    switch (format) {
        case DisplayFormat::Transponder:
            positions[0] = kBlankCode;
            positions[1] = digitCode(v / 1000);
            positions[2] = digitCode((v % 1000) / 100);
            positions[3] = digitCode((v % 100) / 10);
            positions[4] = digitCode(v % 10);
            break;
        case DisplayFormat::ThreeDigit: encodeThreeDigit(v, positions); break;
        case DisplayFormat::Frequency:
            positions[0] = digitCode(v / 10000);
            positions[1] = digitCode((v % 10000) / 1000);
            positions[2] = static_cast<std::uint8_t>(kDecimalPointCode + (v % 1000) / 100);
            positions[3] = digitCode((v % 100) / 10);
            positions[4] = digitCode(v % 10);
            break;
        case DisplayFormat::Blank: fillBlank(positions); break;
    }
}

int hundredths(float value) {
    // Float arithmetic as the simulator's own readouts; NaN and values past
    // the int range would make the conversion undefined.
    const float scaled = value * kHundredths;
    if (std::isnan(scaled)) return 0;
    if (scaled >= 2147483520.0f) return 2147483520;
    if (scaled <= -2147483520.0f) return -2147483520;
    return static_cast<int>(scaled);
}

DisplayPair displayPair(Row row, int selection, const RadioCache &c, const PanelSelection &panel) {
    const bool transponder = row == Row::Upper ? panel.upperTransponder : panel.lowerTransponder;
    if (transponder) return {DisplayFormat::Transponder, c.transponderCode, panel.standbyTransponderCode};
    const bool dme = panel.dmeInSecondSegment;
    switch (selection) {
        case kModeNav1: return {DisplayFormat::Frequency, c.nav1Freq, c.nav1Stdby};
        case kModeNav2: return {DisplayFormat::Frequency, c.nav2Freq, c.nav2Stdby};
        case kModeCom1: return {DisplayFormat::Frequency, c.com1Freq, c.com1Stdby};
        case kModeCom2: return {DisplayFormat::Frequency, c.com2Freq, c.com2Stdby};
        case kModeAdf:
            if (row == Row::Upper) return {DisplayFormat::ThreeDigit, c.adf1Freq, c.adf1Stdby};
            if (dme) {
                return {DisplayFormat::ThreeDigit, hundredths(c.adf1DmeDist), hundredths(c.adf1DmeSpeed)};
            }
            // The lower knobs tune ADF2 here: show what they tune.
            return {DisplayFormat::ThreeDigit, c.adf2Freq, c.adf2Stdby};
        case kModeDme:
            if (!dme) return {DisplayFormat::ThreeDigit, c.adf2Freq, c.adf2Stdby};
            if (row == Row::Upper) {
                return {DisplayFormat::ThreeDigit, hundredths(c.nav1DmeDist), hundredths(c.nav1DmeSpeed)};
            }
            return {DisplayFormat::ThreeDigit, hundredths(c.nav2DmeDist), hundredths(c.nav2DmeSpeed)};
        default: return {DisplayFormat::Blank, 0, 0};
    }
}

bool displaysPowered(const RadioCache &cache) {
    if (cache.avionics == 0) return false;
    if (cache.apuGenerator != 0) return true;
    int count = cache.batteryCount;
    if (count > kMaxBatteries) count = kMaxBatteries;
    for (int i = 0; i < count; ++i) {
        if (cache.batteries[i] != 0) return true;
    }
    return false;
}

void encodeDisplayReport(const RadioCache &cache, const PanelSelection &panel, std::uint8_t *report) {
    std::memset(report, kBlankCode, kDisplayReportSize);
    report[0] = kDisplayReportId;

    const DisplayPair upper = displayPair(Row::Upper, cache.upperMode, cache, panel);
    encodeValue(upper.format, upper.first, report + kUpperActiveOffset);
    encodeValue(upper.format, upper.second, report + kUpperStandbyOffset);
    const DisplayPair lower = displayPair(Row::Lower, panel.lowerMode, cache, panel);
    encodeValue(lower.format, lower.first, report + kLowerActiveOffset);
    encodeValue(lower.format, lower.second, report + kLowerStandbyOffset);

    if (!displaysPowered(cache)) {
        std::memset(report + kUpperActiveOffset, kBlankCode, kDisplayEndOffset - kUpperActiveOffset);
    }
}

}  // namespace radio
}  // namespace drovanel
