// The BIP's two output reports (HID feature reports) and their encoding.
// Pure functions: no device, clock or host.
#ifndef DROVANEL_PANELS_BIP_BIP_REPORT_H
#define DROVANEL_PANELS_BIP_BIP_REPORT_H

#include <cstddef>
#include <cstdint>

#include "lens_colour.h"

namespace drovanel {

constexpr int kLensCount = 24;
constexpr int kLensesPerByte = 8;

// Lamp report: id, then one bit per lens, green elements in bytes 1-3 and
// red elements in bytes 4-6 (lens k of each byte group in bit k).
constexpr std::uint8_t kLampReportId = 0xB8;
constexpr std::size_t kLampReportSize = 7;
constexpr std::size_t kLampGreenOffset = 1;
constexpr std::size_t kLampRedOffset = 4;
static_assert(kLampRedOffset + kLensCount / kLensesPerByte == kLampReportSize, "lamp report layout");

// Brightness report: id, then the brightness in percent (0, 10 ... 100).
constexpr std::uint8_t kBrightnessReportId = 0xB2;
constexpr std::size_t kBrightnessReportSize = 2;

void encodeLampReport(const LensColour (&colours)[kLensCount], std::uint8_t (&report)[kLampReportSize]);

// The panel brightness in steps of ten percent: the whole tenths of the
// instrument brightness (0.0 to 1.0, single precision) times ten, modulo 256.
// A value that is not a number or too large to count gives 0.
std::uint8_t brightnessPercent(float brightness);
void encodeBrightnessReport(float brightness, std::uint8_t (&report)[kBrightnessReportSize]);

}  // namespace drovanel

#endif
