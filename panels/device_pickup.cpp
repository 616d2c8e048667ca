#include "device_pickup.h"

#include <cstdint>

#include "discovery.h"
#include "panel_ids.h"

namespace drovanel {

namespace {

// The slots a demand leaves to fill, as discovery's rules see them; a slot
// that already has a device waiting counts as filled.
class DemandSlots : public PanelRegistry {
public:
    DemandSlots(const PickupDemand &demand, const bool waiting[kPanelSlotCount])
        : demand_(demand), waiting_(waiting) {}
    bool slotEmpty(PanelSlot slot) const override {
        const int i = static_cast<int>(slot);
        return demand_.slotEmpty[i] && !waiting_[i];
    }
    void adopt(PanelSlot, AbstractPanel *) override {}
    bool ignoreSwitchPanel() const override { return demand_.ignoreSwitchPanel; }

private:
    const PickupDemand &demand_;
    const bool *waiting_;
};

// Whether tick a is at or after tick b, across the wrap.
bool reached(std::uint32_t a, std::uint32_t b) { return static_cast<std::int32_t>(a - b) >= 0; }

}  // namespace

void DevicePickup::setDemand(const PickupDemand &demand) {
    std::lock_guard<std::mutex> hold(lock_);
    demand_ = demand;
    for (int i = 0; i < kPanelSlotCount; ++i) {
        if (opened_[i].device == nullptr || demand_.slotEmpty[i]) continue;
        delete opened_[i].device;
        opened_[i] = Opened{};
    }
    refreshReady();
}

void DevicePickup::reportedElsewhere(const std::string &deviceKey) {
    std::lock_guard<std::mutex> hold(lock_);
    Failure *f = failureOf(deviceKey);
    if (f == nullptr) {
        failures_.push_back(Failure{deviceKey, std::string(), false, 0, 0, 0, true});
    } else {
        f->gaveUp = true;
    }
}

DevicePickup::Failure *DevicePickup::failureOf(const std::string &path) {
    for (Failure &f : failures_) {
        if (samePathKey(f.key, path)) return &f;
    }
    return nullptr;
}

bool DevicePickup::mayTry(const std::string &path, std::uint32_t now) {
    const Failure *f = failureOf(path);
    return f == nullptr || (!f->gaveUp && reached(now, f->nextTick));
}

void DevicePickup::failed(const ListedDevice &device, std::uint32_t error, std::uint32_t now) {
    Failure *f = failureOf(device.path);
    if (f == nullptr) {
        failures_.push_back(Failure{devicePathKey(device.path), device.instance, true, now, now + kOpenRetryFirstMs,
                                    kOpenRetryFirstMs, false});
        return;
    }
    if (!reached(now, f->firstTick + kOpenRetryForMs)) {
        f->delay *= 2;
        f->nextTick = now + f->delay;
        return;
    }
    f->gaveUp = true;
    if (giveUpCount_ < kGiveUpReports) {
        giveUps_[giveUpCount_].path = device.path;
        giveUps_[giveUpCount_].error = error;
        ++giveUpCount_;
    }
}

std::uint32_t DevicePickup::pass(const std::vector<ListedDevice> &listing, std::uint32_t now) {
    if (opener_ == nullptr) return 0;
    std::unique_lock<std::mutex> hold(lock_);
    // Failures are kept for one appearance: a device that left, or came back
    // as another appearance between two listings, is tried afresh.
    for (std::size_t i = 0; i < failures_.size();) {
        Failure &f = failures_[i];
        const ListedDevice *listed = nullptr;
        for (const ListedDevice &d : listing) {
            if (samePathKey(d.path, f.key)) listed = &d;
        }
        if (listed != nullptr && !f.instanceKnown) {
            f.instance = listed->instance;
            f.instanceKnown = true;
        }
        if (listed == nullptr || listed->instance != f.instance) {
            failures_.erase(failures_.begin() + static_cast<long>(i));
        } else {
            ++i;
        }
    }

    // A held device that left the list is the core's to tear down first:
    // until it has, a panel plugged back in would look like another one and
    // could be given the wrong slot.
    for (const std::string &key : demand_.held) {
        if (key.empty()) continue;
        bool listed = false;
        for (const ListedDevice &d : listing) listed = listed || samePathKey(d.path, key);
        if (!listed) return 0;  // the core's publishDemand() wakes the watch
    }

    for (const ListedDevice &d : listing) {
        PanelSlot slot;
        bool waiting[kPanelSlotCount];
        for (int i = 0; i < kPanelSlotCount; ++i) waiting[i] = opened_[i].device != nullptr;
        if (d.vendorId != kSaitekVendorId || !slotForProduct(DemandSlots(demand_, waiting), d.productId, &slot)) {
            continue;
        }
        bool taken = false;
        for (int i = 0; i < kPanelSlotCount; ++i) {
            taken = taken || samePathKey(d.path, demand_.held[i]) ||
                    (opened_[i].device != nullptr && samePathKey(d.path, opened_[i].key));
        }
        if (taken || !mayTry(d.path, now)) continue;

        // The open may take a while (Windows): the simulator thread may set
        // another demand meanwhile, so the slot is chosen again after it.
        hold.unlock();
        std::uint32_t error = 0;
        HidDevice *device = opener_(d.path, &error);
        hold.lock();
        if (device == nullptr) {
            failed(d, error, now);
            continue;
        }
        for (int i = 0; i < kPanelSlotCount; ++i) waiting[i] = opened_[i].device != nullptr;
        bool held = false;
        for (const std::string &key : demand_.held) held = held || samePathKey(d.path, key);
        if (held || !slotForProduct(DemandSlots(demand_, waiting), d.productId, &slot)) {
            delete device;
            continue;
        }
        for (std::size_t i = 0; i < failures_.size(); ++i) {
            if (samePathKey(failures_[i].key, d.path)) failures_.erase(failures_.begin() + static_cast<long>(i));
        }
        opened_[static_cast<int>(slot)] = Opened{device, devicePathKey(d.path)};
    }
    refreshReady();
    return retryIn(now);
}

std::uint32_t DevicePickup::retryIn(std::uint32_t now) const {
    std::uint32_t soonest = 0;
    for (const Failure &f : failures_) {
        // A retry already due was not made (its slot is not wanted now):
        // it waits for the watch's next period, not in a loop.
        if (f.gaveUp || reached(now, f.nextTick)) continue;
        std::uint32_t in = f.nextTick - now;
        if (soonest == 0 || in < soonest) soonest = in;
    }
    return soonest;
}

HidDevice *DevicePickup::take(PanelSlot slot, std::string *deviceKey) {
    std::lock_guard<std::mutex> hold(lock_);
    Opened &o = opened_[static_cast<int>(slot)];
    HidDevice *device = o.device;
    if (device != nullptr) deviceKey->swap(o.key);
    o = Opened{};
    refreshReady();
    return device;
}

bool DevicePickup::takeGiveUp(std::string *path, std::uint32_t *error) {
    std::lock_guard<std::mutex> hold(lock_);
    if (giveUpCount_ == 0) return false;
    *path = giveUps_[0].path;
    *error = giveUps_[0].error;
    for (int i = 1; i < giveUpCount_; ++i) giveUps_[i - 1] = giveUps_[i];
    --giveUpCount_;
    refreshReady();
    return true;
}

void DevicePickup::clear() {
    std::lock_guard<std::mutex> hold(lock_);
    for (Opened &o : opened_) {
        delete o.device;
        o = Opened{};
    }
    demand_ = PickupDemand();
    failures_.clear();
    giveUpCount_ = 0;
    refreshReady();
}

void DevicePickup::refreshReady() {
    bool any = giveUpCount_ > 0;
    for (const Opened &o : opened_) any = any || o.device != nullptr;
    ready_.store(any);
}

}  // namespace drovanel
