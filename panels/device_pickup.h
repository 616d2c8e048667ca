// The device watch's half of discovery: after each listing, on the watch's
// thread, it opens the listed panels that the registry's empty slots want
// and hands them to the flight loop, which only builds their drivers. A
// device that fails to open is tried again with growing pauses for a few
// seconds (a new Linux node belongs to root until udev applies the rule);
// only when the tries give up is it reported, once per appearance.
#ifndef DROVANEL_PANELS_DEVICE_PICKUP_H
#define DROVANEL_PANELS_DEVICE_PICKUP_H

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "hid/device_list.h"
#include "hid/hid_device.h"
#include "panel_registry.h"

namespace drovanel {

// The pause before the first retry of a failed open; each retry doubles it.
constexpr std::uint32_t kOpenRetryFirstMs = 50;
// Retries stop once this long has passed since the first failure.
constexpr std::uint32_t kOpenRetryForMs = 3000;
// Reports of devices given up on that wait for the flight loop.
constexpr int kGiveUpReports = 4;

// What the registry wants: its empty slots, the Switch Panel rule and the
// devices its panels hold (keys as devicePathKey()).
struct PickupDemand {
    bool slotEmpty[kPanelSlotCount] = {};
    bool ignoreSwitchPanel = false;
    std::string held[kPanelSlotCount];
};

class DevicePickup {
public:
    explicit DevicePickup(DeviceOpener opener) : opener_(opener) {}
    ~DevicePickup() { clear(); }

    DevicePickup(const DevicePickup &) = delete;
    DevicePickup &operator=(const DevicePickup &) = delete;

    // Simulator thread: what the slots want from now on. Devices opened for
    // an older demand are closed, not handed over.
    void setDemand(const PickupDemand &demand);
    // Simulator thread: a device that discovery failed to open and has
    // reported; the pickup leaves it alone while it stays listed.
    void reportedElsewhere(const std::string &deviceKey);

    // The watch's thread: one pass over a listing taken at tick `now`.
    // Returns the milliseconds until a retry is due, 0 when none is.
    std::uint32_t pass(const std::vector<ListedDevice> &listing, std::uint32_t now);

    // Whether a device or a report waits for the flight loop. Any thread.
    bool ready() const { return ready_.load(std::memory_order_relaxed); }
    // Simulator thread: the device opened for a slot (the caller owns it)
    // and its key; nullptr when none waits.
    HidDevice *take(PanelSlot slot, std::string *deviceKey);
    // Simulator thread: the next device given up on, its path and the
    // last open's error code; false when none is left.
    bool takeGiveUp(std::string *path, std::uint32_t *error);

    // Closes the devices not taken and forgets demand and failures.
    void clear();

private:
    struct Failure {
        std::string key;
        std::string instance;
        bool instanceKnown = false;
        std::uint32_t firstTick = 0;
        std::uint32_t nextTick = 0;
        std::uint32_t delay = 0;
        bool gaveUp = false;  // no more tries while this appearance stays listed
    };
    struct Opened {
        HidDevice *device = nullptr;
        std::string key;
    };
    struct GiveUp {
        std::string path;
        std::uint32_t error = 0;
    };

    // Under lock_: the failure entry for a device path, or nullptr.
    Failure *failureOf(const std::string &path);
    // Under lock_: whether the device may be opened now.
    bool mayTry(const std::string &path, std::uint32_t now);
    // Under lock_: an open failed at `now`: schedules the next try, or gives
    // up and queues the report.
    void failed(const ListedDevice &device, std::uint32_t error, std::uint32_t now);
    void refreshReady();
    // Under lock_: milliseconds until the soonest retry still ahead, 0 when
    // none is.
    std::uint32_t retryIn(std::uint32_t now) const;

    DeviceOpener opener_;
    std::atomic<bool> ready_{false};

    std::mutex lock_;  // guards everything below
    PickupDemand demand_;
    Opened opened_[kPanelSlotCount];
    std::vector<Failure> failures_;
    GiveUp giveUps_[kGiveUpReports];
    int giveUpCount_ = 0;
};

}  // namespace drovanel

#endif
