#include "radiopanel_rotary.h"

#include <gtest/gtest.h>

namespace drovanel {
namespace radio {
namespace {

constexpr std::uint32_t kCoalescence = 250;
constexpr std::uint32_t kChange = 5;
constexpr std::uint32_t kRepeat = 10;

struct Report {
    std::uint8_t bytes[4];
};
Report encoders(std::uint8_t bits, std::uint8_t upperSelector = 0x01) { return {{0x00, upperSelector, 0x02, bits}}; }

RotationClass classify(RotaryFilter &f, const Report &r, std::uint32_t tick) {
    return classifyRotation(f, r.bytes, 4, tick, kCoalescence);
}

TEST(RadioRotaryFilter, TimingAndLengthDecideFreshness) {
    RotaryFilter f;
    const Report r = encoders(0x01);
    EXPECT_EQ(classify(f, r, 100), RotationClass::Fresh) << "selectors differ from the empty last report";
    EXPECT_EQ(classify(f, r, 350), RotationClass::Change) << "a gap equal to the coalescence time still counts";
    EXPECT_EQ(classify(f, r, 601), RotationClass::Fresh) << "gap beyond the coalescence time";
    EXPECT_EQ(classifyRotation(f, r.bytes, 3, 610, kCoalescence), RotationClass::Fresh) << "short report";

    // The gap is measured modulo 2^32.
    RotaryFilter w;
    classify(w, r, 0xFFFFFF00u);  // after a pause: fresh, the report is not kept
    classify(w, r, 0xFFFFFF10u);  // new selectors: fresh, kept
    EXPECT_EQ(classify(w, r, 0x00000008u), RotationClass::Change);
}

TEST(RadioRotaryFilter, ChangedSelectorsAreAlwaysFresh) {
    RotaryFilter f;
    classify(f, encoders(0x00), 10);
    EXPECT_EQ(classify(f, encoders(0x00), 20), RotationClass::Change);
    EXPECT_EQ(classify(f, encoders(0x00, 0x02), 30), RotationClass::Fresh);
    EXPECT_EQ(f.lastRotaryReport[1], 0x02);
}

TEST(RadioRotaryFilter, FreshBitStepsAndItsFirstChangeIsSwallowed) {
    RotaryFilter f;
    RotationClass c = classify(f, encoders(0x01), 0);
    EXPECT_EQ(encoderSteps(f, 0x01, 0x01, c, kChange, kRepeat), 1);
    EXPECT_EQ(f.activeBit, 0x01);
    EXPECT_EQ(f.pendingBit, 0x01);
    EXPECT_EQ(encoderSteps(f, 0x02, 0x01, c, kChange, kRepeat), 0) << "bit not set";

    // The same bit held: repeats, qualifying only past the repeat threshold.
    std::uint32_t tick = 0;
    int applied = 0;
    for (int i = 0; i < 11; ++i) {
        c = classify(f, encoders(0x01), tick += 10);
        ASSERT_EQ(c, RotationClass::Repeat);
        applied += encoderSteps(f, 0x01, 0x01, c, kChange, kRepeat);
    }
    EXPECT_EQ(applied, 1) << "the 11th repeat exceeds the threshold of 10";
    EXPECT_EQ(f.repeatCount, 0u);
}

TEST(RadioRotaryFilter, ChangesPastTheThresholdFirstClearThePendingBitThenStep) {
    RotaryFilter f;
    RotationClass c = classify(f, encoders(0x00), 0);
    f.activeBit = 0x04;
    f.pendingBit = 0x04;
    std::uint32_t tick = 0;
    int applied = 0;
    for (int i = 0; i < 6; ++i) {
        c = classify(f, encoders(0x00), tick += 10);
        ASSERT_EQ(c, RotationClass::Change);
        applied += encoderSteps(f, 0x04, 0x00, c, kChange, kRepeat);
    }
    EXPECT_EQ(applied, 0) << "the sixth change qualifies but only clears the pending bit";
    EXPECT_EQ(f.pendingBit, 0);
    EXPECT_EQ(f.changeCount, 0u);
    for (int i = 0; i < 6; ++i) {
        c = classify(f, encoders(0x00), tick += 10);
        applied += encoderSteps(f, 0x04, 0x00, c, kChange, kRepeat);
    }
    EXPECT_EQ(applied, 3) << "the multiplier has grown to 1.1^12";
}

}  // namespace
}  // namespace radio
}  // namespace drovanel
