#include "multipanel_codec.h"
#include "report_hex.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <string>

namespace drovanel {
namespace multipanel {
namespace {

std::string top(std::int32_t v, bool leadingZeros = false, bool point = false) {
    std::uint8_t row[kRowDigits];
    encodeTopRow(v, leadingZeros, point, row);
    return hex(row, kRowDigits);
}

std::string bottom(std::int32_t w, bool minus = false) {
    std::uint8_t row[kRowDigits];
    encodeBottomRow(w, minus, row);
    return hex(row, kRowDigits);
}

TEST(MultipanelCodec, TopRowBlanksLeadingZerosUnlessAsked) {
    EXPECT_EQ(top(35000), "03 05 00 00 00");
    EXPECT_EQ(top(500), "FF FF 05 00 00");
    EXPECT_EQ(top(7), "FF FF FF FF 07");
    EXPECT_EQ(top(0), "FF FF FF FF 00");
    EXPECT_EQ(top(5, true), "FF FF 00 00 05");
    EXPECT_EQ(top(0, true), "FF FF 00 00 00");
    EXPECT_EQ(top(10005), "01 00 00 00 05");
    // Mach 0.78 as hundredths with the point on the third digit.
    EXPECT_EQ(top(78, true, true), "FF FF D0 07 08");
}

TEST(MultipanelCodec, TopRowFirstDigitCarriesLowBitsOfLargeQuotients) {
    EXPECT_EQ(top(99999), "09 09 09 09 09");
    EXPECT_EQ(top(123456), "0C 03 04 05 06");
    // 2560000 / 10000 = 256, whose low 8 bits are 0: blank.
    EXPECT_EQ(top(2560000), "FF FF FF FF 00");
}

TEST(MultipanelCodec, BottomRowBlanksZeroAndPlacesMinusLeftOfDigits) {
    EXPECT_EQ(bottom(0), "FF FF FF FF FF");
    EXPECT_EQ(bottom(0, true), "FF FF FF FF FF");
    EXPECT_EQ(bottom(1500, true), "EE 01 05 00 00");
    EXPECT_EQ(bottom(50, true), "FF FF EE 05 00");
    EXPECT_EQ(bottom(5), "FF FF FF FF 05");
    // Five digits leave no room for the sign.
    EXPECT_EQ(bottom(12000, true), "01 02 00 00 00");
}

TEST(MultipanelCodec, TruncationIsTowardZeroAndNeverUndefined) {
    EXPECT_EQ(truncateToInt(249.9f), 249);
    EXPECT_EQ(truncateToInt(-1500.7f), -1500);
    EXPECT_EQ(truncateToInt(0.78f * 100.0f), 78);
    EXPECT_EQ(truncateToInt(3.0e9f), INT32_MAX);
    EXPECT_EQ(truncateToInt(-3.0e9f), INT32_MIN);
    EXPECT_EQ(truncateToInt(std::numeric_limits<float>::quiet_NaN()), 0);
}

}  // namespace
}  // namespace multipanel
}  // namespace drovanel
