// The device watch: lists the present devices on a thread of its own, at
// most once per period, and raises a flag when the panels among them
// changed. After each listing its pickup opens the panels that empty slots
// want (see device_pickup.h). It never calls the simulator and never
// touches a driver; the plug-in core reads the flags at the top of its
// flight loop.
#ifndef DROVANEL_PANELS_DEVICE_WATCH_H
#define DROVANEL_PANELS_DEVICE_WATCH_H

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "device_pickup.h"
#include "hid/device_list.h"

namespace drovanel {

constexpr std::uint32_t kDeviceWatchPeriodMs = 500;

class DeviceWatch {
public:
    // Without an opener the pickup opens nothing.
    explicit DeviceWatch(DeviceLister lister, std::uint32_t periodMs = kDeviceWatchPeriodMs,
                         DeviceOpener opener = nullptr);
    ~DeviceWatch();

    DeviceWatch(const DeviceWatch &) = delete;
    DeviceWatch &operator=(const DeviceWatch &) = delete;

    // Starts the thread. Its first listing always raises a change: the core
    // then checks what enable's discovery found against it (a panel may
    // have come or gone in between). Does nothing while running.
    void start();
    // Wakes the thread and joins it; the flag, the list and the pickup are
    // cleared.
    void stop();

    // Wakes the thread to list at once and raise a change whatever it finds:
    // a reader saw its device go, and the core wants a fresh list before it
    // looks for the panel's return. Any thread.
    void listSoon();
    // Wakes the thread to list at once without raising a change: the core
    // wants its pickup to look at the slots it just emptied. Any thread.
    void lookSoon();

    // Lists once, compares with the last list and lets the pickup open what
    // the slots want. The thread does this each period (and sooner while a
    // failed open waits for its retry); tests call it to make the watch look
    // now. Any thread.
    void listNow();

    DevicePickup &pickup() { return pickup_; }

    // Whether the panels' devices changed since the last call; clears it.
    bool takeChange() {
        return changed_.load(std::memory_order_relaxed) && changed_.exchange(false);
    }
    // The devices of the last listing.
    void snapshot(std::vector<ListedDevice> *out) const;

private:
    void run();

    DeviceLister lister_;
    std::uint32_t periodMs_;
    std::atomic<bool> changed_{false};
    std::atomic<bool> forceChange_{false};
    std::atomic<std::uint32_t> retryInMs_{0};  // the pickup's next retry, 0 none
    DevicePickup pickup_;

    std::mutex listingLock_;             // one listing at a time; guards scratch_
    std::vector<ListedDevice> scratch_;  // the next listing goes here
    mutable std::mutex listLock_;        // guards current_ and listedOnce_
    std::vector<ListedDevice> current_;
    bool listedOnce_ = false;

    std::mutex wakeLock_;
    std::condition_variable wake_;
    bool stopping_ = false;  // under wakeLock_
    bool wakeNow_ = false;   // under wakeLock_: listSoon() asked for a listing
    std::thread thread_;
};

}  // namespace drovanel

#endif
