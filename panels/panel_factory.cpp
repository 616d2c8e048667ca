#include "panel_factory.h"

#include "bip/backlit_information_panel.h"
#include "multipanel/multipanel.h"
#include "radiopanel/radiopanel.h"
#include "switchpanel/switchpanel.h"

namespace drovanel {

namespace {
AbstractPanel *construct(PanelSlot slot, HidDevice *device) {
    switch (slot) {
        case PanelSlot::Multipanel: return new Multipanel(device);
        case PanelSlot::Switchpanel: return new Switchpanel(device);
        case PanelSlot::Radiopanel1: return new Radiopanel(device, 0);
        case PanelSlot::Radiopanel2: return new Radiopanel(device, 1);
        case PanelSlot::Bip: return new BacklitInformationPanel(device);
    }
    return nullptr;
}
}  // namespace

AbstractPanel *createPanel(PanelSlot slot, HidDevice *device) {
    AbstractPanel *panel = construct(slot, device);
    if (panel != nullptr) panel->start();
    return panel;
}

}  // namespace drovanel
