#include "device_watch.h"

#include <algorithm>
#include <chrono>

#include "panel_ids.h"
#include "tick.h"

namespace drovanel {

namespace {

// Devices the lists hold without growing; a machine with more costs one
// allocation when they first appear.
constexpr std::size_t kRoomForDevices = 64;

bool sameEntry(const ListedDevice &a, const ListedDevice &b) {
    return a.vendorId == b.vendorId && a.productId == b.productId && a.instance == b.instance &&
           samePathKey(a.path, b.path);
}

std::size_t panelCount(const std::vector<ListedDevice> &list) {
    std::size_t n = 0;
    for (const ListedDevice &d : list) n += d.vendorId == kSaitekVendorId ? 1 : 0;
    return n;
}

// Whether the panels of two lists are the same devices; other vendors'
// devices coming and going wake nobody. Paths are unique within a list.
bool samePanels(const std::vector<ListedDevice> &a, const std::vector<ListedDevice> &b) {
    if (panelCount(a) != panelCount(b)) return false;
    for (const ListedDevice &d : a) {
        if (d.vendorId != kSaitekVendorId) continue;
        if (std::none_of(b.begin(), b.end(), [&](const ListedDevice &e) { return sameEntry(d, e); })) return false;
    }
    return true;
}

}  // namespace

DeviceWatch::DeviceWatch(DeviceLister lister, std::uint32_t periodMs, DeviceOpener opener)
    : lister_(lister), periodMs_(periodMs), pickup_(opener) {}

DeviceWatch::~DeviceWatch() { stop(); }

void DeviceWatch::start() {
    if (thread_.joinable()) return;
    {
        // Both lists keep their room from listing to listing.
        std::lock_guard<std::mutex> listing(listingLock_);
        std::lock_guard<std::mutex> hold(listLock_);
        scratch_.reserve(kRoomForDevices);
        current_.reserve(kRoomForDevices);
    }
    {
        std::lock_guard<std::mutex> hold(wakeLock_);
        stopping_ = false;
        wakeNow_ = false;
    }
    thread_ = std::thread(&DeviceWatch::run, this);
}

void DeviceWatch::stop() {
    if (thread_.joinable()) {
        {
            std::lock_guard<std::mutex> hold(wakeLock_);
            stopping_ = true;
            wake_.notify_all();
        }
        thread_.join();
    }
    std::lock_guard<std::mutex> listing(listingLock_);
    std::lock_guard<std::mutex> hold(listLock_);
    current_.clear();
    listedOnce_ = false;
    changed_.store(false);
    forceChange_.store(false);
    retryInMs_.store(0);
    pickup_.clear();
}

void DeviceWatch::run() {
    std::unique_lock<std::mutex> hold(wakeLock_);
    while (!stopping_) {
        hold.unlock();
        listNow();
        hold.lock();
        // A failed listing waits like any other: only listSoon() cuts the
        // wait short, once per call.
        std::uint32_t waitMs = periodMs_;
        const std::uint32_t retryMs = retryInMs_.load();
        if (retryMs != 0 && retryMs < waitMs) waitMs = retryMs;
        wake_.wait_for(hold, std::chrono::milliseconds(waitMs), [this] { return stopping_ || wakeNow_; });
        wakeNow_ = false;
    }
}

void DeviceWatch::listSoon() {
    std::lock_guard<std::mutex> hold(wakeLock_);
    forceChange_.store(true);
    wakeNow_ = true;
    wake_.notify_all();
}

void DeviceWatch::lookSoon() {
    std::lock_guard<std::mutex> hold(wakeLock_);
    wakeNow_ = true;
    wake_.notify_all();
}

void DeviceWatch::listNow() {
    std::lock_guard<std::mutex> listing(listingLock_);
    bool forced = forceChange_.exchange(false);
    if (lister_ == nullptr || !lister_(&scratch_)) {
        if (forced) forceChange_.store(true);  // the next listing that works raises it
        retryInMs_.store(0);                   // and the next try waits the period
        return;
    }
    {
        std::lock_guard<std::mutex> hold(listLock_);
        bool differs = forced || !listedOnce_ || !samePanels(scratch_, current_);
        // The old list's storage is refilled by the next listing.
        current_.swap(scratch_);
        listedOnce_ = true;
        if (differs) changed_.store(true);
    }
    // current_ changes only under listingLock_, which is held.
    retryInMs_.store(pickup_.pass(current_, currentTick()));
}

void DeviceWatch::snapshot(std::vector<ListedDevice> *out) const {
    std::lock_guard<std::mutex> hold(listLock_);
    *out = current_;
}

}  // namespace drovanel
