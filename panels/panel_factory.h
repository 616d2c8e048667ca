// Creates the driver for a recognised panel. Adding a driver is one line in
// panel_factory.cpp.
#ifndef DROVANEL_PANELS_PANEL_FACTORY_H
#define DROVANEL_PANELS_PANEL_FACTORY_H

#include "abstract_panel.h"
#include "panel_registry.h"

namespace drovanel {

// A complete driver for the slot, with its threads started, owning device.
AbstractPanel *createPanel(PanelSlot slot, HidDevice *device);

}  // namespace drovanel

#endif
