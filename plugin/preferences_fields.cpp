#include "preferences_fields.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "abstract_panel.h"
#include "bip/backlit_information_panel.h"

namespace drovanel {

std::uint32_t parseBoundedNumber(const char *text, std::uint32_t bound) {
    if (text == nullptr) return 0;
    // strtoll rather than strtol: long is 32 bits on Windows, and an
    // out-of-range text saturates instead of wrapping into range.
    long long value = std::strtoll(text, nullptr, 10);
    if (value < 0 || static_cast<unsigned long long>(value) > bound) return bound;
    return static_cast<std::uint32_t>(value);
}

std::string formatNumber(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    return text;
}

void encodeRotarySettings(const RotarySettings &settings, std::uint8_t out[4]) {
    std::uint32_t time = std::min(settings.coalescenceTime, kMaxCoalescenceTime);
    out[0] = static_cast<std::uint8_t>(time / 255);
    out[1] = static_cast<std::uint8_t>(time % 255);
    out[2] = static_cast<std::uint8_t>(std::min(settings.repeatThreshold, kMaxThreshold));
    out[3] = static_cast<std::uint8_t>(std::min(settings.changeThreshold, kMaxThreshold));
}

std::size_t shownConfigNameLength(std::uint8_t high, std::uint8_t low) {
    std::size_t stored = high * kConfigNameLengthFactor + low;
    return std::min(stored, kSettingsSize - kConfigNameOffset);
}

}  // namespace drovanel
