// USB ids of the panels. Every panel is a Saitek device.
#ifndef DROVANEL_PANELS_PANEL_IDS_H
#define DROVANEL_PANELS_PANEL_IDS_H

#include <cstdint>

namespace drovanel {

constexpr std::uint16_t kSaitekVendorId = 0x06A3;
constexpr std::uint16_t kMultiPanelProductId = 0x0D06;
constexpr std::uint16_t kRadioPanelProductId = 0x0D05;
constexpr std::uint16_t kSwitchPanelProductId = 0x0D67;
constexpr std::uint16_t kBipProductId = 0x0B4E;

}  // namespace drovanel

#endif
