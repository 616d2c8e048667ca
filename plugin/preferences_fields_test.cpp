#include "preferences_fields.h"

#include <gtest/gtest.h>

namespace drovanel {
namespace {

TEST(PreferencesFieldsTest, NumbersAreReadWholeAndBounded) {
    struct Case {
        const char *text;
        std::uint32_t bound;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {"1000", kMaxCoalescenceTime, 1000},   // longer than three characters, read whole
        {"65279", kMaxCoalescenceTime, 65279},
        {"65280", kMaxCoalescenceTime, 65279},  // the two stored bytes cannot hold more
        {"99999999999999999999999", kMaxCoalescenceTime, 65279},
        {"4294967296", kMaxThreshold, 255},     // must not wrap to 0
        {"-1", kMaxThreshold, 255},             // negative counts as above any bound
        {"", kMaxCoalescenceTime, 0},
        {"abc", kMaxThreshold, 0},
        {"  +12abc", kMaxThreshold, 12},
        {"0x10", kMaxThreshold, 0},
        {"256", kMaxThreshold, 255},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(parseBoundedNumber(c.text, c.bound), c.expected) << '"' << c.text << '"';
    }
    EXPECT_EQ(parseBoundedNumber(nullptr, kMaxThreshold), 0u);
}

TEST(PreferencesFieldsTest, RotarySettingsEncodeIntoBytesFourToSeven) {
    std::uint8_t bytes[4];
    encodeRotarySettings({1000, 10, 5}, bytes);
    EXPECT_EQ(std::vector<int>(bytes, bytes + 4), (std::vector<int>{3, 235, 10, 5}));
    encodeRotarySettings({kMaxCoalescenceTime, 255, 0}, bytes);
    EXPECT_EQ(std::vector<int>(bytes, bytes + 4), (std::vector<int>{255, 254, 255, 0}));
    // Out-of-range values never wrap.
    encodeRotarySettings({65535, 256, 1000}, bytes);
    EXPECT_EQ(std::vector<int>(bytes, bytes + 4), (std::vector<int>{255, 254, 255, 255}));
    EXPECT_EQ(formatNumber(65279), "65279");
    EXPECT_EQ(formatNumber(0), "0");
}

TEST(PreferencesFieldsTest, StoredNameLengthStaysInsideTheBlock) {
    EXPECT_EQ(shownConfigNameLength(0, 0), 0u);
    EXPECT_EQ(shownConfigNameLength(0, 255), 255u);
    EXPECT_EQ(shownConfigNameLength(1, 0), 1024u - 66u);
    EXPECT_EQ(shownConfigNameLength(255, 255), 1024u - 66u);
}

}  // namespace
}  // namespace drovanel
