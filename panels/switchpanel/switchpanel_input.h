// Layout of the Switch Panel's 4-byte input report. Every report carries the
// position of every switch; byte 0 is the report id.
#ifndef DROVANEL_PANELS_SWITCHPANEL_SWITCHPANEL_INPUT_H
#define DROVANEL_PANELS_SWITCHPANEL_SWITCHPANEL_INPUT_H

#include <cstdint>

namespace drovanel {
namespace switchpanel {

constexpr std::uint32_t kSwitchesByte = 1;
constexpr std::uint32_t kLightsByte = 2;
constexpr std::uint32_t kGearByte = 3;

// Byte 1: the toggle switches.
constexpr std::uint8_t kBatteryBit = 0x01;
constexpr std::uint8_t kGeneratorBit = 0x02;
constexpr std::uint8_t kAvionicsBit = 0x04;
constexpr std::uint8_t kFuelPumpBit = 0x08;
constexpr std::uint8_t kDeIceBit = 0x10;
constexpr std::uint8_t kPitotHeatBit = 0x20;
constexpr std::uint8_t kCowlFlapsBit = 0x40;  // set: closed
constexpr std::uint8_t kPanelLightsBit = 0x80;

// Byte 2: the light switches and three of the magneto positions.
constexpr std::uint8_t kBeaconBit = 0x01;
constexpr std::uint8_t kNavBit = 0x02;
constexpr std::uint8_t kStrobeBit = 0x04;
constexpr std::uint8_t kTaxiBit = 0x08;
constexpr std::uint8_t kLandingBit = 0x10;
constexpr std::uint8_t kMagnetoOffBit = 0x20;
constexpr std::uint8_t kMagnetoLeftBit = 0x40;
constexpr std::uint8_t kMagnetoRightBit = 0x80;

// Byte 3: the gear lever and the other two magneto positions.
constexpr std::uint8_t kMagnetoBothBit = 0x01;
constexpr std::uint8_t kMagnetoStartBit = 0x02;
constexpr std::uint8_t kGearUpBit = 0x04;
constexpr std::uint8_t kGearDownBit = 0x08;

}  // namespace switchpanel
}  // namespace drovanel

#endif
