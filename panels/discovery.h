// Device discovery: finds the attached panels and creates one driver for
// each into the empty registry slots.
#ifndef DROVANEL_PANELS_DISCOVERY_H
#define DROVANEL_PANELS_DISCOVERY_H

#include <cstdint>
#include <string>

#include "hid/device_services.h"
#include "panel_registry.h"

namespace drovanel {

// The creator of drivers; the default is createPanel(). Tests pass their own.
using PanelCreator = AbstractPanel *(*)(PanelSlot slot, HidDevice *device);

// The slot a panel of this product id goes into, as discovery fills them:
// false when none is free (or the Switch Panel is ignored).
bool slotForProduct(const PanelRegistry &registry, std::uint16_t productId, PanelSlot *slot);

// Creates the driver for an opened device and hands it to the slot; the
// device is closed when no driver comes of it.
void adoptDevice(PanelRegistry &registry, PanelCreator create, PanelSlot slot, HidDevice *device,
                 const std::string &deviceKey);

void discoverPanels(DeviceServices &services, PanelRegistry &registry, PanelCreator create);
void scanHidInterfaces(DeviceServices &services, PanelRegistry &registry, PanelCreator create);

}  // namespace drovanel

#endif
