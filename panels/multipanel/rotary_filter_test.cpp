#include "rotary_filter.h"

#include <gtest/gtest.h>

#include <vector>

namespace drovanel {
namespace multipanel {
namespace {

constexpr std::uint32_t kCoalescence = 250;
constexpr std::uint8_t kChange = 5;
constexpr std::uint8_t kRepeat = 10;

// Feeds reports to the filter and the triggering as the driver does and
// returns the steps each report made (increase positive, decrease negative).
class Knob {
public:
    explicit Knob(std::uint32_t start) : tick_(start) {}

    int feed(std::uint8_t byte1, std::uint32_t afterMs = 40, std::uint32_t length = 4,
             std::uint8_t byte2 = 0) {
        tick_ += afterMs;
        const std::uint8_t report[4] = {0, byte1, byte2, 0};
        rotation = classifyRotation(state, report, length, tick_, kCoalescence);
        int steps = 0;
        steps -= static_cast<int>(rotaryTrigger(state, byte1, rotation, kEncoderDecrease, kChange, kRepeat));
        steps += static_cast<int>(rotaryTrigger(state, byte1, rotation, kEncoderIncrease, kChange, kRepeat));
        return steps;
    }

    RotaryState state;
    RotationClass rotation = RotationClass::fresh;

private:
    std::uint32_t tick_;
};

constexpr std::uint8_t kRest = kSelectorHdg;
constexpr std::uint8_t kUp = kSelectorHdg | kEncoderIncrease;
constexpr std::uint8_t kDown = kSelectorHdg | kEncoderDecrease;

// A knob whose last kept report is the resting one, after a pause.
Knob restingKnob(std::uint32_t start = 10000) {
    Knob knob(start);
    knob.feed(kRest, 1000);
    knob.feed(kRest, 40);
    return knob;
}

std::vector<int> run(Knob &knob, const std::vector<std::uint8_t> &reports) {
    std::vector<int> steps;
    bool first = true;
    for (std::uint8_t byte1 : reports) {
        steps.push_back(knob.feed(byte1, first ? 1000 : 40));
        first = false;
    }
    return steps;
}

std::vector<int> expectedSteps(std::size_t n, std::initializer_list<std::pair<std::size_t, int>> at) {
    std::vector<int> steps(n, 0);
    for (const auto &entry : at) steps[entry.first - 1] = entry.second;
    return steps;
}

TEST(RotaryFilter, AlternatingPulseAndRestStepsAtFirstAndTwentyThird) {
    Knob knob = restingKnob();
    std::vector<std::uint8_t> reports;
    for (int i = 0; i < 24; ++i) reports.push_back(i % 2 == 0 ? kUp : kRest);
    EXPECT_EQ(run(knob, reports), expectedSteps(24, {{1, 1}, {23, 1}}));
}

TEST(RotaryFilter, HeldPulseStepsEveryEleventhReport) {
    Knob knob = restingKnob();
    const std::vector<std::uint8_t> reports(34, kUp);
    EXPECT_EQ(run(knob, reports), expectedSteps(34, {{1, 1}, {12, 1}, {23, 1}, {34, 1}}));
}

TEST(RotaryFilter, PulseThenRestsAcceleratesToThirtySix) {
    Knob knob = restingKnob();
    std::vector<std::uint8_t> reports(13, kRest);
    reports[0] = kUp;
    EXPECT_EQ(run(knob, reports), expectedSteps(13, {{1, 1}, {13, 36}}));
    // The multiplier grew 3, 9, 27, 36 and was capped there.
    EXPECT_FLOAT_EQ(knob.state.stepMultiplier, 36.0f);
}

TEST(RotaryFilter, DecreaseDirectionStepsNegative) {
    Knob knob = restingKnob();
    EXPECT_EQ(knob.feed(kDown, 1000), -1);
    EXPECT_EQ(knob.state.activeBit, kEncoderDecrease);
}

TEST(RotaryFilter, PauseOrDifferentReportRestartsTheRun) {
    Knob knob = restingKnob();
    EXPECT_EQ(knob.feed(kUp, 1000), 1);
    // Within the window the same pulse is a repeat and does not step...
    EXPECT_EQ(knob.feed(kUp, 40), 0);
    // ...but after the window it is fresh and steps at once.
    EXPECT_EQ(knob.feed(kUp, 251), 1);
    // Exactly the coalescence time still continues the run.
    EXPECT_EQ(knob.feed(kUp, 250), 0);
    EXPECT_EQ(knob.state.repeatCount, 1u);
    // Another selector bit (not the encoder's) is a different report: fresh.
    EXPECT_EQ(knob.feed(kSelectorCrs | kEncoderIncrease, 40), 1);
    EXPECT_EQ(knob.state.repeatCount, 0u);
}

TEST(RotaryFilter, ButtonByteChangeRestartsTheRun) {
    Knob knob = restingKnob();
    knob.feed(kUp, 1000);
    knob.feed(kUp, 40);
    EXPECT_EQ(knob.rotation, RotationClass::repeat);
    EXPECT_EQ(knob.feed(kUp, 40, 4, 0x01), 1);
    EXPECT_EQ(knob.rotation, RotationClass::fresh);
}

TEST(RotaryFilter, ShortReportsAreFreshAndKeepTheLastReport) {
    Knob knob = restingKnob();
    const std::uint8_t before = knob.state.lastRotaryReport[1];
    EXPECT_EQ(knob.feed(kUp, 10, 2), 1);
    EXPECT_EQ(knob.state.lastRotaryReport[1], before);
}

TEST(RotaryFilter, TickWrapAroundKeepsTheRun) {
    Knob knob = restingKnob(0xFFFFFFFFu - 2200);  // the run crosses the 32-bit wrap
    EXPECT_EQ(knob.feed(kUp, 1000), 1);
    for (int i = 2; i <= 11; ++i) EXPECT_EQ(knob.feed(kUp, 40), 0) << "report " << i;
    EXPECT_EQ(knob.feed(kUp, 40), 1);
}

TEST(RotaryFilter, SelectorWinnerOrder) {
    EXPECT_EQ(selectorFromByte(0), 0);
    EXPECT_EQ(selectorFromByte(kEncoderIncrease | kApButton), 0);
    EXPECT_EQ(selectorFromByte(kSelectorAlt | kSelectorCrs), kSelectorCrs);
    EXPECT_EQ(selectorFromByte(kSelectorCrs | kSelectorHdg), kSelectorHdg);
    EXPECT_EQ(selectorFromByte(kSelectorHdg | kSelectorIas), kSelectorIas);
    EXPECT_EQ(selectorFromByte(0x1F), kSelectorVs);
}

}  // namespace
}  // namespace multipanel
}  // namespace drovanel
