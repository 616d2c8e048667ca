// The preferences window's field contents: numbers as the user typed them,
// bounded to what a panel's settings block can hold, and the stored BIP
// configuration file name as the window may show it.
#ifndef DROVANEL_PLUGIN_PREFERENCES_FIELDS_H
#define DROVANEL_PLUGIN_PREFERENCES_FIELDS_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace drovanel {

// The coalescence time is stored as byte 4 * 255 + byte 5, so 65279 is the
// largest time the two bytes can hold.
constexpr std::uint32_t kMaxCoalescenceTime = 255u * 255u + 254u;
constexpr std::uint32_t kMaxThreshold = 255;

// What "Default" writes into every rotary section.
constexpr std::uint32_t kDefaultCoalescenceTime = 250;
constexpr std::uint32_t kDefaultRepeatThreshold = 10;
constexpr std::uint32_t kDefaultChangeThreshold = 5;

// Reads the whole text as strtol reads a base-10 number (leading blanks and
// a sign allowed, stops at the first non-digit, no digits give 0), then
// bounds it. A negative number counts as larger than any bound.
std::uint32_t parseBoundedNumber(const char *text, std::uint32_t bound);

// The decimal text a field shows for a value.
std::string formatNumber(std::uint32_t value);

struct RotarySettings {
    std::uint32_t coalescenceTime;
    std::uint32_t repeatThreshold;
    std::uint32_t changeThreshold;
};

// Bytes 4 to 7 of a settings block for these settings (each first bounded).
void encodeRotarySettings(const RotarySettings &settings, std::uint8_t out[4]);

// How many characters of a stored configuration file name, whose length
// bytes are high and low, lie inside the settings block. A damaged block may
// claim more; the window then shows the name cut at the block's end.
std::size_t shownConfigNameLength(std::uint8_t high, std::uint8_t low);

}  // namespace drovanel

#endif
