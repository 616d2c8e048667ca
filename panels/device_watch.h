// The device watch: lists the present devices on a thread of its own, at
// most once per period, and raises a flag when the panels among them
// changed. It never calls the simulator and never touches a driver; the
// plug-in core reads the flag at the top of its flight loop.
#ifndef DROVANEL_PANELS_DEVICE_WATCH_H
#define DROVANEL_PANELS_DEVICE_WATCH_H

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "hid/device_list.h"

namespace drovanel {

constexpr std::uint32_t kDeviceWatchPeriodMs = 500;

class DeviceWatch {
public:
    explicit DeviceWatch(DeviceLister lister, std::uint32_t periodMs = kDeviceWatchPeriodMs);
    ~DeviceWatch();

    DeviceWatch(const DeviceWatch &) = delete;
    DeviceWatch &operator=(const DeviceWatch &) = delete;

    // Starts the thread. Its first listing always raises a change: the core
    // then checks what enable's discovery found against it (a panel may
    // have come or gone in between). Does nothing while running.
    void start();
    // Wakes the thread and joins it; the flag and the list are cleared.
    void stop();

    // Wakes the thread to list at once and raise a change whatever it finds:
    // a reader saw its device go, and the core wants a fresh list before it
    // looks for the panel's return. Any thread.
    void listSoon();

    // Lists once and compares with the last list. The thread does this each
    // period; tests call it to make the watch look now. Any thread.
    void listNow();

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

    std::mutex listingLock_;             // one listing at a time; guards scratch_
    std::vector<ListedDevice> scratch_;  // the next listing goes here
    mutable std::mutex listLock_;        // guards current_ and listedOnce_
    std::vector<ListedDevice> current_;
    bool listedOnce_ = false;

    std::mutex wakeLock_;
    std::condition_variable wake_;
    bool stopping_ = false;  // under wakeLock_
    std::thread thread_;
};

}  // namespace drovanel

#endif
