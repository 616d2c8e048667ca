#include "panel_factory.h"

#if __has_include("multipanel/multipanel.h")
#include "multipanel/multipanel.h"
#define DROVANEL_HAVE_MULTIPANEL 1
#endif
#if __has_include("radiopanel/radiopanel.h")
#include "radiopanel/radiopanel.h"
#define DROVANEL_HAVE_RADIOPANEL 1
#endif
#if __has_include("switchpanel/switchpanel.h")
#include "switchpanel/switchpanel.h"
#define DROVANEL_HAVE_SWITCHPANEL 1
#endif
#if __has_include("bip/backlit_information_panel.h")
#include "bip/backlit_information_panel.h"
#define DROVANEL_HAVE_BIP 1
#endif

namespace drovanel {

namespace {
AbstractPanel *construct(PanelSlot slot, HidDevice *device) {
    switch (slot) {
#ifdef DROVANEL_HAVE_MULTIPANEL
        case PanelSlot::Multipanel: return new Multipanel(device);
#endif
#ifdef DROVANEL_HAVE_SWITCHPANEL
        case PanelSlot::Switchpanel: return new Switchpanel(device);
#endif
#ifdef DROVANEL_HAVE_RADIOPANEL
        case PanelSlot::Radiopanel1: return new Radiopanel(device, 0);
        case PanelSlot::Radiopanel2: return new Radiopanel(device, 1);
#endif
#ifdef DROVANEL_HAVE_BIP
        case PanelSlot::Bip: return new BacklitInformationPanel(device);
#endif
        default: return nullptr;
    }
}
}  // namespace

AbstractPanel *createPanel(PanelSlot slot, HidDevice *device) {
    AbstractPanel *panel = construct(slot, device);
    if (panel != nullptr) panel->start();
    return panel;
}

}  // namespace drovanel
