#include "bip_report.h"

#include <cmath>

#include "single_precision.h"

namespace drovanel {

void encodeLampReport(const LensColour (&colours)[kLensCount], std::uint8_t (&report)[kLampReportSize]) {
    for (std::uint8_t &byte : report) byte = 0;
    report[0] = kLampReportId;
    for (int lens = 0; lens < kLensCount; ++lens) {
        std::size_t group = static_cast<std::size_t>(lens / kLensesPerByte);
        auto bit = static_cast<std::uint8_t>(1u << (lens % kLensesPerByte));
        if (colours[lens] & kLensGreenBit) report[kLampGreenOffset + group] |= bit;
        if (colours[lens] & kLensRedBit) report[kLampRedOffset + group] |= bit;
    }
}

std::uint8_t brightnessPercent(float brightness) {
    // Limit on the tenths before converting: converting a float out of the
    // int range is undefined.
    constexpr float kMaxTenths = 1.0e6f;
    float tenths = brightness * 10.0f;
    if (!(std::fabs(tenths) < kMaxTenths)) return 0;
    int whole = static_cast<int>(tenths);
    return static_cast<std::uint8_t>(whole * 10);
}

void encodeBrightnessReport(float brightness, std::uint8_t (&report)[kBrightnessReportSize]) {
    report[0] = kBrightnessReportId;
    report[1] = brightnessPercent(brightness);
}

}  // namespace drovanel
