#include "multipanel_codec.h"

#include <cmath>
#include <cstring>

namespace drovanel {
namespace multipanel {

std::int32_t truncateToInt(float value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483648.0f) return INT32_MAX;
    if (value <= -2147483648.0f) return INT32_MIN;
    return static_cast<std::int32_t>(value);
}

void encodeTopRow(std::int32_t v, bool leadingZeros, bool decimalPoint, std::uint8_t *row) {
    // Quotients and remainders truncate toward zero; the remainders take
    // the sign of v.
    const std::int32_t d1 = v / 10000;
    const std::int32_t d2 = (v % 10000) / 1000;
    const std::int32_t d3 = (v % 1000) / 100;
    const std::int32_t d4 = (v % 100) / 10;
    const std::int32_t d5 = v % 10;

    row[0] = static_cast<std::uint8_t>(d1);
    if (row[0] == 0) row[0] = kBlank;

    row[1] = static_cast<std::uint8_t>(d2);
    if (d2 == 0 && row[0] == kBlank) row[1] = kBlank;

    row[2] = static_cast<std::uint8_t>(d3 + (decimalPoint ? kDecimalPoint : 0));
    if (d3 == 0 && !leadingZeros && row[0] == kBlank && row[1] == kBlank) row[2] = kBlank;

    row[3] = static_cast<std::uint8_t>(d4);
    if (d4 == 0 && !leadingZeros && row[0] == kBlank && row[1] == kBlank && row[2] == kBlank) {
        row[3] = kBlank;
    }

    row[4] = static_cast<std::uint8_t>(d5);
}

void encodeBottomRow(std::int32_t w, bool minus, std::uint8_t *row) {
    if (w == 0) {
        std::memset(row, kBlank, kRowDigits);
        return;
    }
    const std::int32_t digits[kRowDigits] = {w / 10000, (w % 10000) / 1000, (w % 1000) / 100,
                                             (w % 100) / 10, w % 10};
    bool leftBlank = true;
    for (std::size_t i = 0; i < kRowDigits; ++i) {
        row[i] = static_cast<std::uint8_t>(digits[i]);
        if (row[i] == 0 && leftBlank) {
            row[i] = kBlank;
        } else {
            leftBlank = false;
        }
    }
    if (!minus) return;
    for (std::size_t i = kRowDigits; i-- > 0;) {
        if (row[i] == kBlank) {
            row[i] = kMinus;
            return;
        }
    }
}

void beginReport(Report report) {
    std::memset(report, kBlank, kReportSize);
    report[kReportIdOffset] = 0x00;
    report[kLampOffset] = 0x00;
    report[kPowerOffset] = kPowered;
}

void darkenReport(Report report) {
    std::memset(report + kTopRowOffset, kDarkBlank, 2 * kRowDigits);
    report[kLampOffset] = 0x00;
    report[kPowerOffset] = kDark;
}

void startupReport(Report report) {
    std::memset(report, 0, kReportSize);
    std::memset(report + kTopRowOffset, kDarkBlank, 2 * kRowDigits);
}

}  // namespace multipanel
}  // namespace drovanel
