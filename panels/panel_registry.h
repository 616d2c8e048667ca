// What discovery needs of the plug-in's panel registry. The plug-in core
// implements it; discovery never includes the core.
#ifndef DROVANEL_PANELS_PANEL_REGISTRY_H
#define DROVANEL_PANELS_PANEL_REGISTRY_H

#include <string>

#include "abstract_panel.h"

namespace drovanel {

// The registry's slots in walking order.
enum class PanelSlot { Multipanel = 0, Switchpanel, Radiopanel1, Radiopanel2, Bip };
constexpr int kPanelSlotCount = 5;

class PanelRegistry {
public:
    virtual ~PanelRegistry() = default;
    virtual bool slotEmpty(PanelSlot slot) const = 0;
    // Takes ownership of a started driver. For the Radio Panel slots the
    // core also sets the menu check mark from the panel's DME option.
    virtual void adopt(PanelSlot slot, AbstractPanel *panel) = 0;
    virtual bool ignoreSwitchPanel() const = 0;

    // Device bookkeeping for panels that come and go; a registry that does
    // not track devices keeps the defaults. Devices are named by their
    // devicePathKey().
    // The device the panel just adopted into the slot came from.
    virtual void adoptedFrom(PanelSlot slot, const std::string &deviceKey) {
        (void)slot;
        (void)deviceKey;
    }
    // A device that discovery opened for a panel or the BIP could not be opened.
    virtual void openFailed(const std::string &deviceKey) { (void)deviceKey; }
    // Whether discovery leaves the device alone without opening it.
    virtual bool skipDevice(const std::string &deviceKey) const {
        (void)deviceKey;
        return false;
    }
};

}  // namespace drovanel

#endif
