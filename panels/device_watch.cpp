#include "device_watch.h"

#include <algorithm>
#include <chrono>

#include "panel_ids.h"

namespace drovanel {

namespace {

// Devices the lists hold without growing; a machine with more costs one
// allocation when they first appear.
constexpr std::size_t kRoomForDevices = 64;

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

char keyChar(const std::string &path, std::size_t i) {
    // "\??\" reads as "\\?\".
    if (i == 1 && path.compare(0, 4, "\\??\\") == 0) return '\\';
    return lower(path[i]);
}

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

std::string devicePathKey(const std::string &path) {
    std::string key(path.size(), '\0');
    std::transform(path.begin(), path.end(), key.begin(), lower);
    if (key.compare(0, 4, "\\??\\") == 0) key[1] = '\\';
    return key;
}

bool samePathKey(const std::string &a, const std::string &b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (keyChar(a, i) != keyChar(b, i)) return false;
    }
    return true;
}

std::string devicePathKey(const wchar_t *path) {
    std::string narrow;
    for (; path != nullptr && *path != L'\0'; ++path) narrow += static_cast<char>(*path);
    return devicePathKey(narrow);
}

namespace {

// Four hexadecimal digits at text[at]; false when they are not there.
bool hex4(const std::string &text, std::size_t at, std::uint16_t *value) {
    if (at + 4 > text.size()) return false;
    unsigned v = 0;
    for (std::size_t i = at; i < at + 4; ++i) {
        char c = text[i];
        unsigned digit = c >= '0' && c <= '9' ? static_cast<unsigned>(c - '0')
                         : c >= 'a' && c <= 'f' ? static_cast<unsigned>(c - 'a' + 10)
                                                : 16u;
        if (digit == 16u) return false;
        v = v * 16 + digit;
    }
    *value = static_cast<std::uint16_t>(v);
    return true;
}

}  // namespace

bool idsFromDevicePath(const std::string &path, std::uint16_t *vendorId, std::uint16_t *productId) {
    const std::string key = devicePathKey(path);
    std::size_t vid = key.find("vid_");
    std::size_t pid = key.find("pid_");
    if (vid == std::string::npos || pid == std::string::npos) return false;
    return hex4(key, vid + 4, vendorId) && hex4(key, pid + 4, productId);
}

DeviceWatch::DeviceWatch(DeviceLister lister, std::uint32_t periodMs) : lister_(lister), periodMs_(periodMs) {}

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
    std::lock_guard<std::mutex> hold(listLock_);
    current_.clear();
    listedOnce_ = false;
    changed_.store(false);
    forceChange_.store(false);
}

void DeviceWatch::run() {
    std::unique_lock<std::mutex> hold(wakeLock_);
    while (!stopping_) {
        hold.unlock();
        listNow();
        hold.lock();
        wake_.wait_for(hold, std::chrono::milliseconds(periodMs_),
                       [this] { return stopping_ || forceChange_.load(); });
    }
}

void DeviceWatch::listSoon() {
    std::lock_guard<std::mutex> hold(wakeLock_);
    forceChange_.store(true);
    wake_.notify_all();
}

void DeviceWatch::listNow() {
    std::lock_guard<std::mutex> listing(listingLock_);
    bool forced = forceChange_.exchange(false);
    if (lister_ == nullptr || !lister_(&scratch_)) {
        if (forced) forceChange_.store(true);  // the next listing that works raises it
        return;
    }
    std::lock_guard<std::mutex> hold(listLock_);
    bool differs = forced || !listedOnce_ || !samePanels(scratch_, current_);
    // The old list's storage is refilled by the next listing.
    current_.swap(scratch_);
    listedOnce_ = true;
    if (differs) changed_.store(true);
}

void DeviceWatch::snapshot(std::vector<ListedDevice> *out) const {
    std::lock_guard<std::mutex> hold(listLock_);
    *out = current_;
}

}  // namespace drovanel
