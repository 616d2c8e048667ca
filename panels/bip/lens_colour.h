// The colour of one BIP lens: two bits, bit 0 the red element and bit 1 the
// green element; Amber lights both.
#ifndef DROVANEL_PANELS_BIP_LENS_COLOUR_H
#define DROVANEL_PANELS_BIP_LENS_COLOUR_H

#include <cstdint>

namespace drovanel {

enum LensColour : std::uint8_t {
    kLensOff = 0,
    kLensRed = 1,
    kLensGreen = 2,
    kLensAmber = 3,
};

constexpr std::uint8_t kLensRedBit = 0x01;
constexpr std::uint8_t kLensGreenBit = 0x02;

}  // namespace drovanel

#endif
