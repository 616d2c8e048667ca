#include "slot_devices.h"

#include "discovery.h"
#include "panel_ids.h"

namespace drovanel {

namespace {

const ListedDevice *find(const std::vector<ListedDevice> &listing, const std::string &key) {
    for (const ListedDevice &d : listing) {
        if (samePathKey(d.path, key)) return &d;
    }
    return nullptr;
}

}  // namespace

// Whether the listing still shows the appearance once seen; learns it when
// not yet known. False when the device is not listed.
bool SlotDevices::stillListed(const std::vector<ListedDevice> &listing, Device *device) {
    const ListedDevice *d = find(listing, device->key);
    if (d == nullptr) return false;
    if (!device->instanceKnown) {
        device->instance = d->instance;
        device->instanceKnown = true;
        return true;
    }
    return d->instance == device->instance;
}

void SlotDevices::held(PanelSlot slot, const std::string &deviceKey) {
    slots_[static_cast<int>(slot)] = Device{deviceKey, std::string(), false};
}

void SlotDevices::released(PanelSlot slot) { slots_[static_cast<int>(slot)] = Device{}; }

void SlotDevices::releaseAll() {
    for (Device &d : slots_) d = Device{};
}

void SlotDevices::openFailed(const std::string &deviceKey) {
    for (const Device &f : failed_) {
        if (f.key == deviceKey) return;
    }
    failed_.push_back(Device{deviceKey, std::string(), false});
}

bool SlotDevices::skip(const std::string &deviceKey) const {
    for (const Device &d : slots_) {
        if (!d.key.empty() && d.key == deviceKey) return true;
    }
    for (const Device &f : failed_) {
        if (f.key == deviceKey) return true;
    }
    return false;
}

unsigned SlotDevices::goneSlots(const std::vector<ListedDevice> &listing) {
    unsigned gone = 0;
    for (int i = 0; i < kPanelSlotCount; ++i) {
        if (!slots_[i].key.empty() && !stillListed(listing, &slots_[i])) gone |= 1u << i;
    }
    for (std::size_t i = 0; i < failed_.size();) {
        if (stillListed(listing, &failed_[i])) {
            ++i;
        } else {
            failed_.erase(failed_.begin() + static_cast<long>(i));
        }
    }
    return gone;
}

bool SlotDevices::adoptable(const std::vector<ListedDevice> &listing, const PanelRegistry &registry) const {
    for (const ListedDevice &d : listing) {
        PanelSlot slot;
        if (d.vendorId != kSaitekVendorId || !slotForProduct(registry, d.productId, &slot)) continue;
        if (!skip(devicePathKey(d.path))) return true;
    }
    return false;
}

}  // namespace drovanel
