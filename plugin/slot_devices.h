// The devices behind the registry's slots, for the flight loop's hot-plug
// step: which slot's device has left the list, and whether the list holds a
// panel that discovery could adopt. A device that failed to open is not
// tried again until it leaves the list and comes back, so a device the user
// may not open is named once per appearance and never retried in a loop.
// Devices are named by devicePathKey(). Simulator thread only.
#ifndef DROVANEL_PLUGIN_SLOT_DEVICES_H
#define DROVANEL_PLUGIN_SLOT_DEVICES_H

#include <string>
#include <vector>

#include "hid/device_list.h"
#include "panel_registry.h"

namespace drovanel {

class SlotDevices {
public:
    void held(PanelSlot slot, const std::string &deviceKey);
    void released(PanelSlot slot);
    void releaseAll();
    void openFailed(const std::string &deviceKey);
    // The device held by a slot; empty when none.
    const std::string &heldKey(PanelSlot slot) const { return slots_[static_cast<int>(slot)].key; }
    // Held by a slot, or failed to open in this appearance.
    bool skip(const std::string &deviceKey) const;

    // Takes in a new listing: learns the held devices' instances, forgets
    // failures of devices that left, and returns the slots (bit 1 << slot)
    // whose device is not listed any more or is listed as another appearance.
    unsigned goneSlots(const std::vector<ListedDevice> &listing);

    // Whether the listing holds a panel that is neither held nor failed and
    // whose slot, by discovery's rules, is free.
    bool adoptable(const std::vector<ListedDevice> &listing, const PanelRegistry &registry) const;

private:
    struct Device {
        std::string key;       // empty: slot empty
        std::string instance;  // learnt from the first listing that shows it
        bool instanceKnown = false;
    };
    static bool stillListed(const std::vector<ListedDevice> &listing, Device *device);

    Device slots_[kPanelSlotCount];
    std::vector<Device> failed_;
};

}  // namespace drovanel

#endif
