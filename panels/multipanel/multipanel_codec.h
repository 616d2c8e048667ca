// The Multi Panel's output report: two rows of five seven-segment digits and
// one lamp per button, written as a 13-byte feature report. Pure encoding,
// no device and no host.
#ifndef DROVANEL_PANELS_MULTIPANEL_MULTIPANEL_CODEC_H
#define DROVANEL_PANELS_MULTIPANEL_MULTIPANEL_CODEC_H

#include <cstddef>
#include <cstdint>

namespace drovanel {
namespace multipanel {

// Report layout.
constexpr std::size_t kReportSize = 13;
constexpr std::size_t kRowDigits = 5;
constexpr std::size_t kReportIdOffset = 0;
constexpr std::size_t kTopRowOffset = 1;
constexpr std::size_t kBottomRowOffset = 6;
constexpr std::size_t kLampOffset = 11;
constexpr std::size_t kPowerOffset = 12;
static_assert(kBottomRowOffset + kRowDigits == kLampOffset, "rows precede the lamp byte");
static_assert(kPowerOffset + 1 == kReportSize, "power byte ends the report");

// Digit codes.
constexpr std::uint8_t kDecimalPoint = 0xD0;  // added to a digit 0-9
constexpr std::uint8_t kMinus = 0xEE;
constexpr std::uint8_t kBlank = 0xFF;      // while the panel is powered
constexpr std::uint8_t kDarkBlank = 0x0F;  // dark panel, start-up report
constexpr std::uint8_t kPowered = 0x00;
constexpr std::uint8_t kDark = 0x0F;

// Lamp bits of the lamp byte.
constexpr std::uint8_t kLampAp = 0x01;
constexpr std::uint8_t kLampHdg = 0x02;
constexpr std::uint8_t kLampNav = 0x04;
constexpr std::uint8_t kLampIas = 0x08;
constexpr std::uint8_t kLampAlt = 0x10;
constexpr std::uint8_t kLampVs = 0x20;
constexpr std::uint8_t kLampApr = 0x40;
constexpr std::uint8_t kLampRev = 0x80;

using Report = std::uint8_t[kReportSize];

// A float shown on the panel, truncated toward zero. Values beyond what a
// 32-bit integer holds (and NaN, as 0) are clamped rather than converted,
// which would be undefined.
std::int32_t truncateToInt(float value);

// Top row: digits of v, leading positions blank unless leadingZeros; the
// third digit carries the decimal point when decimalPoint is set. The first
// digit carries the low 8 bits of v / 10000.
void encodeTopRow(std::int32_t v, bool leadingZeros, bool decimalPoint, std::uint8_t *row);

// Bottom row: digits of w (0 blanks the whole row), leading positions blank;
// with minus, the rightmost blank position becomes the minus sign (no sign
// when all five positions hold digits).
void encodeBottomRow(std::int32_t w, bool minus, std::uint8_t *row);

// Both rows blank, report id, lamps and power byte set.
void beginReport(Report report);

// Dark panel: every digit dark-blank, no lamp, power byte dark.
void darkenReport(Report report);

// The report sent at start-up before the panel's state is read.
void startupReport(Report report);

// A lamp that flashes on its own phase: while the condition holds the phase
// is inverted at every report and the lamp is lit when the new phase is set.
inline bool flashLamp(bool condition, bool &phase) {
    if (!condition) return false;
    phase = !phase;
    return phase;
}

}  // namespace multipanel
}  // namespace drovanel

#endif
