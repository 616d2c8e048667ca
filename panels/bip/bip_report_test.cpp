#include "bip_report.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace drovanel {
namespace {

TEST(BipReportTest, LampReportPutsGreenInBytesOneToThreeAndRedInFourToSix) {
    LensColour colours[kLensCount] = {};
    std::uint8_t report[kLampReportSize];
    encodeLampReport(colours, report);
    EXPECT_EQ(std::vector<std::uint8_t>(report, report + 7), (std::vector<std::uint8_t>{0xB8, 0, 0, 0, 0, 0, 0}));

    colours[5] = kLensRed;
    colours[8] = kLensGreen;
    colours[23] = kLensAmber;
    colours[16] = kLensAmber;
    encodeLampReport(colours, report);
    EXPECT_EQ(std::vector<std::uint8_t>(report, report + 7),
              (std::vector<std::uint8_t>{0xB8, 0x00, 0x01, 0x81, 0x20, 0x00, 0x81}));
}

TEST(BipReportTest, BrightnessInWholeTenths) {
    EXPECT_EQ(brightnessPercent(0.0f), 0);
    EXPECT_EQ(brightnessPercent(0.55f), 50);
    EXPECT_EQ(brightnessPercent(0.99f), 90);
    // The tenths are rounded to float before truncation in every build
    // (unrounded, x87 code shows 60 and 80).
    EXPECT_EQ(brightnessPercent(0.7f), 70);
    EXPECT_EQ(brightnessPercent(0.9f), 90);
    EXPECT_EQ(brightnessPercent(1.0f), 100);
    // Outside 0-1 the percent wraps as a byte; values that cannot be counted
    // give 0 instead of an undefined conversion.
    EXPECT_EQ(brightnessPercent(3.0f), 44);
    EXPECT_EQ(brightnessPercent(-0.25f), 236);
    EXPECT_EQ(brightnessPercent(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(brightnessPercent(std::numeric_limits<float>::infinity()), 0);
    EXPECT_EQ(brightnessPercent(1.0e30f), 0);

    std::uint8_t report[kBrightnessReportSize];
    encodeBrightnessReport(0.55f, report);
    EXPECT_EQ(report[0], 0xB2);
    EXPECT_EQ(report[1], 50);
}

}  // namespace
}  // namespace drovanel
