#include <gtest/gtest.h>

#include "multipanel_actions.h"

namespace drovanel {
namespace multipanel {
namespace {

TEST(X737Steps, VerticalSpeedDown) {
    const struct {
        float from, to;
    } cases[] = {{0, -100},       {50, 0},         {-800, -950},   {-950, -1100},
                 {-1000, -1200}, {-7800, -8000}, {-8000, -8000}, {1500, 1400},
                 {-9000, -8000}};
    for (const auto &c : cases) EXPECT_FLOAT_EQ(x737VerticalSpeedDown(c.from), c.to) << "from " << c.from;
}

TEST(X737Steps, VerticalSpeedUp) {
    const struct {
        float from, to;
    } cases[] = {{-100, -50}, {-1000, -900}, {5950, 6000}, {0, 50}, {999, 1049}, {6000, 6000}};
    for (const auto &c : cases) EXPECT_FLOAT_EQ(x737VerticalSpeedUp(c.from), c.to) << "from " << c.from;
}

TEST(X737Steps, LimitedValues) {
    EXPECT_FLOAT_EQ(x737AltitudeStep(49950, true), 50000);
    EXPECT_FLOAT_EQ(x737AltitudeStep(50000, true), 50000);
    EXPECT_FLOAT_EQ(x737AltitudeStep(50, false), 0);
    EXPECT_FLOAT_EQ(x737SpeedStep(x737SpeedStep(101, false), false), 100);
    EXPECT_FLOAT_EQ(x737SpeedStep(340, true), 340);
    EXPECT_FLOAT_EQ(courseStep(0, false), 359);
    EXPECT_FLOAT_EQ(courseStep(359, true), 0);
    EXPECT_FLOAT_EQ(courseStep(359.5f, true), 0.5f);
}

TEST(TrimSteps, ClampedAtTravel) {
    EXPECT_FLOAT_EQ(trimmed(-0.4995f, -0.001f), -0.5f);
    EXPECT_FLOAT_EQ(trimmed(-0.5f, -0.001f), -0.5f);
    EXPECT_FLOAT_EQ(trimmed(0.498f, 0.005f), 0.5f);
    EXPECT_FLOAT_EQ(trimmed(0.1f, -0.005f), 0.095f);
}

}  // namespace
}  // namespace multipanel
}  // namespace drovanel
