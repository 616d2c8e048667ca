// The preferences window's number fields and the stored layout name's
// length: any text typed, any length bytes a damaged settings block holds.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "abstract_panel.h"
#include "bip/backlit_information_panel.h"
#include "fuzz_input.h"
#include "plugin/preferences_fields.h"

namespace {

void fail(const char *what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    using namespace drovanel;
    fuzz::FuzzInput in(data, size);
    const std::uint8_t high = in.byte();
    const std::uint8_t low = in.byte();
    const std::uint32_t bound = in.byte() & 1 ? kMaxCoalescenceTime : kMaxThreshold;
    std::size_t textSize = 0;
    const std::uint8_t *text = in.rest(&textSize);
    // A field's text is a C string: it ends at its first NUL.
    const std::string typed(reinterpret_cast<const char *>(text), textSize);

    const std::uint32_t value = parseBoundedNumber(typed.c_str(), bound);
    if (value > bound) fail("parsed number above its bound");
    if (parseBoundedNumber(formatNumber(value).c_str(), bound) != value) fail("formatted number reads back different");

    std::uint8_t bytes[4];
    encodeRotarySettings({value, value, value}, bytes);
    if (bytes[0] * 255u + bytes[1] != std::min(value, kMaxCoalescenceTime)) fail("coalescence time bytes wrong");
    if (bytes[2] != std::min(value, kMaxThreshold)) fail("threshold byte wrong");

    if (kConfigNameOffset + shownConfigNameLength(high, low) > kSettingsSize) fail("shown name passes the block");
    return 0;
}
