// Device discovery: finds the attached panels and creates one driver for
// each into the empty registry slots.
#ifndef DROVANEL_PANELS_DISCOVERY_H
#define DROVANEL_PANELS_DISCOVERY_H

#include "hid/device_services.h"
#include "panel_registry.h"

namespace drovanel {

// The creator of drivers; the default is createPanel(). Tests pass their own.
using PanelCreator = AbstractPanel *(*)(PanelSlot slot, HidDevice *device);

void discoverPanels(DeviceServices &services, PanelRegistry &registry, PanelCreator create);
void scanHidInterfaces(DeviceServices &services, PanelRegistry &registry, PanelCreator create);

}  // namespace drovanel

#endif
