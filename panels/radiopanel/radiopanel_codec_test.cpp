#include "radiopanel_codec.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace drovanel {
namespace radio {
namespace {

std::vector<std::uint8_t> encoded(DisplayFormat format, int value) {
    std::vector<std::uint8_t> positions(kDigitsPerDisplay, 0xAA);
    encodeValue(format, value, positions.data());
    return positions;
}

using Bytes = std::vector<std::uint8_t>;

TEST(RadioDisplayFormat, TheThreeFormats) {
    EXPECT_EQ(encoded(DisplayFormat::Frequency, 12345), (Bytes{0x01, 0x02, 0xD3, 0x04, 0x05}));
    EXPECT_EQ(encoded(DisplayFormat::Frequency, 10800), (Bytes{0x01, 0x00, 0xD8, 0x00, 0x00}));
    EXPECT_EQ(encoded(DisplayFormat::Transponder, 7000), (Bytes{0xFF, 0x07, 0x00, 0x00, 0x00}));
    EXPECT_EQ(encoded(DisplayFormat::Transponder, 78), (Bytes{0xFF, 0x00, 0x00, 0x07, 0x08}));
    EXPECT_EQ(encoded(DisplayFormat::ThreeDigit, 362), (Bytes{0xFF, 0xFF, 0x03, 0x06, 0x02}));
    EXPECT_EQ(encoded(DisplayFormat::ThreeDigit, 5), (Bytes{0xFF, 0xFF, 0x00, 0x00, 0x05}));
}

TEST(RadioDisplayFormat, LongerValuesUseMorePositionsInsteadOfAnUnshowableCode) {
    EXPECT_EQ(encoded(DisplayFormat::ThreeDigit, 1750), (Bytes{0xFF, 0x01, 0x07, 0x05, 0x00}));
    EXPECT_EQ(encoded(DisplayFormat::ThreeDigit, 25000), (Bytes{0x02, 0x05, 0x00, 0x00, 0x00}));
    EXPECT_EQ(encoded(DisplayFormat::ThreeDigit, 100000), (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(RadioDisplayFormat, HundredthsTruncateInSinglePrecision) {
    // The product is rounded to float before it is truncated, in every
    // build: unrounded (x87), each of these shows one hundredth less.
    struct Row {
        float value;
        int shown;
    };
    for (const Row &row : {Row{0.78f, 78}, Row{2.3f, 230}, Row{0.29f, 29}, Row{1.15f, 115}, Row{0.06f, 6}}) {
        EXPECT_EQ(hundredths(row.value), row.shown) << row.value;
    }
    EXPECT_EQ(hundredths(12.349f), 1234);
    EXPECT_EQ(hundredths(1e30f), 2147483520);
    EXPECT_EQ(hundredths(std::numeric_limits<float>::quiet_NaN()), 0);
}

class RadioDisplayReport : public ::testing::Test {
protected:
    RadioDisplayReport() {
        cache.avionics = 1;
        cache.batteries[0] = 1;
        cache.batteryCount = 1;
    }
    Bytes report() {
        Bytes out(kDisplayReportSize, 0xAA);
        encodeDisplayReport(cache, panel, out.data());
        return out;
    }
    Bytes upperRow() {
        Bytes r = report();
        return Bytes(r.begin() + 1, r.begin() + 11);
    }
    Bytes lowerRow() {
        Bytes r = report();
        return Bytes(r.begin() + 11, r.begin() + 21);
    }
    RadioCache cache;
    PanelSelection panel;
};

TEST_F(RadioDisplayReport, FramesTheFourDisplays) {
    cache.upperMode = kModeCom1;
    cache.com1Freq = 12345;
    cache.com1Stdby = 11800;
    panel.lowerMode = kModeNav2;
    cache.nav2Freq = 10800;
    cache.nav2Stdby = 11795;
    EXPECT_EQ(report(), (Bytes{0x00, 0x01, 0x02, 0xD3, 0x04, 0x05, 0x01, 0x01, 0xD8, 0x00, 0x00, 0x01, 0x00,
                               0xD8, 0x00, 0x00, 0x01, 0x01, 0xD7, 0x09, 0x05, 0xFF, 0xFF}));
}

TEST_F(RadioDisplayReport, TransponderFlagOverridesEitherRowsSelection) {
    cache.upperMode = kModeCom1;
    cache.transponderCode = 7000;
    panel.standbyTransponderCode = 1200;
    panel.upperTransponder = true;
    EXPECT_EQ(upperRow(), (Bytes{0xFF, 0x07, 0x00, 0x00, 0x00, 0xFF, 0x01, 0x02, 0x00, 0x00}));
    panel.lowerMode = kModeAdf;
    panel.lowerTransponder = true;
    EXPECT_EQ(lowerRow(), upperRow());
}

TEST_F(RadioDisplayReport, DmeOptionSwapsAdfReadoutsForDistanceAndSpeed) {
    cache.upperMode = kModeDme;
    panel.lowerMode = kModeAdf;
    cache.nav1DmeDist = 5.5f;
    cache.nav1DmeSpeed = 1.2f;
    cache.adf1DmeDist = 3.0f;
    cache.adf1Freq = 362;
    cache.adf1Stdby = 1750;
    cache.adf2Freq = 415;
    cache.adf2Stdby = 200;

    EXPECT_EQ(upperRow(), (Bytes{0xFF, 0xFF, 0x04, 0x01, 0x05, 0xFF, 0xFF, 0x02, 0x00, 0x00})) << "ADF2 when off";
    EXPECT_EQ(lowerRow(), (Bytes{0xFF, 0xFF, 0x04, 0x01, 0x05, 0xFF, 0xFF, 0x02, 0x00, 0x00})) << "ADF2 when off";

    panel.dmeInSecondSegment = true;
    EXPECT_EQ(upperRow(), (Bytes{0xFF, 0xFF, 0x05, 0x05, 0x00, 0xFF, 0xFF, 0x01, 0x02, 0x00})) << "NAV1 DME";
    EXPECT_EQ(lowerRow(), (Bytes{0xFF, 0xFF, 0x03, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00})) << "ADF1 DME";

    panel.lowerMode = kModeDme;
    cache.nav2DmeDist = 12.5f;
    EXPECT_EQ(lowerRow(), (Bytes{0xFF, 0x01, 0x02, 0x05, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00})) << "NAV2 DME";
}

TEST_F(RadioDisplayReport, UnknownUpperModeLeavesItsRowBlank) {
    cache.upperMode = 9;
    panel.lowerMode = kModeCom1;
    cache.com1Freq = 12345;
    EXPECT_EQ(upperRow(), Bytes(10, 0xFF));
    EXPECT_EQ(lowerRow()[0], 0x01);
}

TEST_F(RadioDisplayReport, PowerNeedsAvionicsAndABatteryOrTheApuGenerator) {
    cache.upperMode = kModeCom1;
    cache.com1Freq = 12345;
    const Bytes blank = [] {
        Bytes b(kDisplayReportSize, 0xFF);
        b[0] = 0x00;
        return b;
    }();
    EXPECT_NE(report(), blank);

    cache.avionics = 0;
    EXPECT_EQ(report(), blank) << "avionics off";

    cache.avionics = 1;
    cache.batteries[0] = 0;
    EXPECT_EQ(report(), blank) << "no battery, no APU";

    cache.batteries[3] = 1;
    EXPECT_EQ(report(), blank) << "a battery past the count read does not count";
    cache.batteryCount = 4;
    EXPECT_NE(report(), blank);

    cache.batteryCount = 0;
    cache.apuGenerator = 1;
    EXPECT_NE(report(), blank);
}

}  // namespace
}  // namespace radio
}  // namespace drovanel
