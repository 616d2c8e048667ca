#include "radiopanel_input.h"

#include <gtest/gtest.h>

namespace drovanel {
namespace radio {
namespace {

TEST(RadioTuning, RowTargetsAndCoarseSteps) {
    EXPECT_EQ(rowParameters(Row::Upper, kModeNav2, false, false).coarseStep, 100);
    EXPECT_EQ(rowParameters(Row::Lower, kModeNav2, false, false).coarseStep, 50);
    EXPECT_EQ(rowParameters(Row::Lower, kModeCom1, true, false).coarseStep, 50);
    EXPECT_EQ(rowParameters(Row::Lower, kModeAdf, false, false).coarseStep, 10) << "ADF is not halved";

    EXPECT_EQ(rowParameters(Row::Upper, kModeAdf, false, true).target, RadioTarget::Adf1);
    EXPECT_EQ(rowParameters(Row::Lower, kModeAdf, false, false).target, RadioTarget::Adf2);
    EXPECT_EQ(rowParameters(Row::Lower, kModeAdf, false, true).target, RadioTarget::Dme);
    EXPECT_EQ(rowParameters(Row::Upper, kModeDme, false, true).target, RadioTarget::Dme);
    EXPECT_EQ(rowParameters(Row::Lower, kModeDme, false, true).target, RadioTarget::Adf2);

    EXPECT_EQ(rowParameters(Row::Upper, 6, false, false).target, RadioTarget::None);
    EXPECT_EQ(rowParameters(Row::Upper, 6, true, false).target, RadioTarget::Transponder);
}

TEST(RadioTuning, WildSimulatorValuesDoNotOverflow) {
    const RowParameters com = rowParameters(Row::Upper, kModeCom1, false, false);
    EXPECT_EQ(stepValue(2147483647, StepKind::CoarseUp, com), 11800);
    EXPECT_EQ(stepValue(-2147483647 - 1, StepKind::CoarseDown, com), 13699);
}

TEST(RadioSelectors, LaterBitsWinAndShortReportsKeepWhatTheyCannotSee) {
    const std::uint8_t report[4] = {0x00, 0x01 | 0x04, 0x08 | 0x02, 0x00};
    SelectorState s = decodeSelectors(report, 4, kModeDme);
    ASSERT_EQ(s.upperModeWriteCount, 2u);
    EXPECT_EQ(s.upperModeWrites[1], kModeNav1) << "NAV1 (0x04) is tested after COM1 (0x01)";
    EXPECT_EQ(s.lowerMode, kModeNav1) << "NAV1 (0x02) is tested after ADF (0x08)";

    const std::uint8_t xpdr[4] = {0x00, 0x40 | 0x80, 0x20, 0x00};
    s = decodeSelectors(xpdr, 4, kModeDme);
    EXPECT_EQ(s.upperModeWriteCount, 0u) << "XPDR writes no mode";
    EXPECT_EQ(s.lowerMode, kModeCom1) << "the lower COM1 position sits in byte 1";
    EXPECT_TRUE(s.upperTransponder && s.lowerTransponder);

    s = decodeSelectors(xpdr, 2, kModeAdf);
    EXPECT_EQ(s.lowerMode, kModeCom1);
    EXPECT_FALSE(s.lowerTransponder) << "byte 2 is not in a 2-byte report";
}

}  // namespace
}  // namespace radio
}  // namespace drovanel
