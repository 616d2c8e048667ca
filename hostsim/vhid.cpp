// The virtual panels: the device list behind the drovanel_vhid_* contract
// that the plug-in's virtual HID backend imports, and the test's side of it
// (attach, input, recorded feature reports, faults).
#include <chrono>
#include <functional>
#include <stdexcept>
#include <thread>
#include <utility>

#include "hostsim/state.h"

namespace hostsim {
namespace detail {
namespace {

constexpr std::uint16_t kSaitekVendorId = 0x06A3;
constexpr std::uint16_t kMultiPanelProductId = 0x0D06;
constexpr std::uint16_t kRadioPanelProductId = 0x0D05;
constexpr std::uint16_t kSwitchPanelProductId = 0x0D67;
constexpr std::uint16_t kBipProductId = 0x0B4E;

// The test names devices by number: a wrong number is a test bug.
Device &byNumber(State &s, int number) {
    if (number < 0 || static_cast<std::size_t>(number) >= s.devices.size()) {
        throw std::out_of_range("hostsim: no device " + std::to_string(number));
    }
    return *s.devices[number];
}

std::shared_ptr<DeviceHandle> fromHandle(State &s, void *handle) {
    auto it = s.handles.find(reinterpret_cast<std::uintptr_t>(handle));
    return it == s.handles.end() ? nullptr : it->second;
}

// The first report written at or after index `from` with this id and length.
const std::vector<std::uint8_t> *findFeature(const Device &d, std::uint8_t reportId, std::size_t length,
                                              std::size_t from) {
    for (std::size_t i = from; i < d.features.size(); ++i) {
        if (!d.features[i].empty() && d.features[i][0] == reportId && d.features[i].size() == length) {
            return &d.features[i];
        }
    }
    return nullptr;
}

}  // namespace
}  // namespace detail

using detail::Device;
using detail::State;

std::uint16_t productId(PanelKind kind) {
    switch (kind) {
    case PanelKind::Multi:
        return detail::kMultiPanelProductId;
    case PanelKind::Radio:
        return detail::kRadioPanelProductId;
    case PanelKind::Switch:
        return detail::kSwitchPanelProductId;
    case PanelKind::Bip:
        return detail::kBipProductId;
    }
    return 0;
}

int attach(PanelKind kind) { return attachDevice(detail::kSaitekVendorId, productId(kind)); }

int attachDevice(std::uint16_t vendorId, std::uint16_t productId) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    auto device = std::make_shared<Device>();
    device->number = static_cast<int>(s.devices.size());
    device->vendorId = vendorId;
    device->productId = productId;
    device->path = "vhid:" + std::to_string(device->number);
    s.devices.push_back(device);
    return device->number;
}

void detach(int device) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    Device &d = detail::byNumber(s, device);
    d.attached = false;
    for (auto &entry : s.handles) {
        if (entry.second->device.get() == &d) entry.second->gone = true;
    }
    s.vhidChanged.notify_all();
}

void plug(int device) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    Device &d = detail::byNumber(s, device);
    if (d.attached) return;
    ++d.appearances;
    if (s.replug == Replug::NewPath) {
        d.path = "vhid:" + std::to_string(d.number) + "." + std::to_string(d.appearances);
    }
    d.attached = true;
    d.input.clear();  // a panel plugged in again has sent nothing yet
    s.vhidChanged.notify_all();
}

void setReplug(Replug how) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    s.replug = how;
}

std::string devicePath(int device) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    return detail::byNumber(s, device).path;
}

int deviceCount() {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    int count = 0;
    for (auto &d : s.devices) {
        count += d->attached ? 1 : 0;
    }
    return count;
}

bool deviceOpen(int device) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    return detail::byNumber(s, device).openNow > 0;
}

int openCount(int device) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    return detail::byNumber(s, device).opens;
}

void queueInput(int device, const std::vector<std::uint8_t> &report) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    detail::byNumber(s, device).input.push_back(report);
    s.vhidChanged.notify_all();
}

int pendingInput(int device) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    return static_cast<int>(detail::byNumber(s, device).input.size());
}

std::vector<std::vector<std::uint8_t>> featureReports(int device) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    return detail::byNumber(s, device).features;
}

std::vector<std::uint8_t> latestFeature(int device, std::uint8_t reportId, std::size_t length) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    const Device &d = detail::byNumber(s, device);
    for (auto it = d.features.rbegin(); it != d.features.rend(); ++it) {
        if (!it->empty() && (*it)[0] == reportId && it->size() == length) {
            return *it;
        }
    }
    return {};
}

std::vector<std::uint8_t> waitFeature(int device, std::uint8_t reportId, std::size_t length, std::size_t after,
                                      int timeoutMs) {
    State &s = detail::state();
    std::unique_lock<std::mutex> lock(s.mu);
    detail::byNumber(s, device);  // a wrong number throws
    std::shared_ptr<Device> d = s.devices[device];
    const std::vector<std::uint8_t> *found = nullptr;
    s.vhidChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        found = detail::findFeature(*d, reportId, length, after);
        return found != nullptr;
    });
    return found != nullptr ? *found : std::vector<std::uint8_t>();
}

void setFeatureAnswer(int device, const std::vector<std::uint8_t> &answer) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    detail::byNumber(s, device).featureAnswer = answer;
}

void failOpen(int device, bool fail) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    detail::byNumber(s, device).failOpen = fail;
}

void refuseFeatureWrites(int device, bool refuse) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    detail::byNumber(s, device).refuseWrites = refuse;
}

void failReads(int device, bool fail) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    detail::byNumber(s, device).failReads = fail;
    s.vhidChanged.notify_all();
}

void failGetFeature(int device, bool fail) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    detail::byNumber(s, device).failGetFeature = fail;
}

void failListings(int times) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    s.failListings = times;
}

void changeListAfter(int infoCalls, std::function<void()> change) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    s.listChangeAfter = infoCalls;
    s.listChange = std::move(change);
}

long listingCalls() {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    return s.listingCalls;
}

long simThreadDeviceCalls() {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    return s.simThreadDeviceCalls;
}

long readAttempts(int device) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    return detail::byNumber(s, device).readAttempts;
}

}  // namespace hostsim

// ---------------------------------------------------------------- the contract
// Not SDK calls: these come from the plug-in's own threads by design and are
// not checked against the simulator thread.

#define DROVANEL_VHID_API extern "C" __attribute__((visibility("default")))

using hostsim::detail::Device;
using hostsim::detail::DeviceHandle;
using hostsim::detail::State;

namespace {

// Counts a listing or open call; under the lock.
void noteDeviceCall(State &s) {
    if (std::this_thread::get_id() == s.simThread) ++s.simThreadDeviceCalls;
}

}  // namespace

DROVANEL_VHID_API int drovanel_vhid_count(void) {
    State &s = hostsim::detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    noteDeviceCall(s);
    ++s.listingCalls;
    int count = 0;
    for (auto &d : s.devices) count += d->attached ? 1 : 0;
    if (s.failListings > 0) {
        --s.failListings;
        ++count;
    }
    return count;
}

DROVANEL_VHID_API int drovanel_vhid_info(int index, char *path, int path_size, unsigned short *vendor_id,
                                         unsigned short *product_id) {
    State &s = hostsim::detail::state();
    std::function<void()> change;
    {
        std::lock_guard<std::mutex> lock(s.mu);
        if (s.listChangeAfter == 0) change.swap(s.listChange);
        if (s.listChangeAfter >= 0) --s.listChangeAfter;
    }
    if (change) change();  // host calls of its own: outside the lock
    std::lock_guard<std::mutex> lock(s.mu);
    noteDeviceCall(s);
    int position = 0;
    for (auto &d : s.devices) {
        if (!d->attached) {
            continue;
        }
        if (position++ != index) {
            continue;
        }
        if (path != nullptr && path_size > 0) {
            hostsim::detail::copyText(d->path, path, static_cast<std::size_t>(path_size));
        }
        if (vendor_id != nullptr) {
            *vendor_id = d->vendorId;
        }
        if (product_id != nullptr) {
            *product_id = d->productId;
        }
        return 1;
    }
    return 0;
}

DROVANEL_VHID_API void *drovanel_vhid_open(const char *path) {
    State &s = hostsim::detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    noteDeviceCall(s);
    if (path == nullptr) {
        return nullptr;
    }
    for (auto &d : s.devices) {
        if (d->attached && d->path == path) {
            if (d->failOpen) {
                return nullptr;
            }
            auto handle = std::make_shared<DeviceHandle>();
            handle->device = d;
            ++d->opens;
            ++d->openNow;
            std::uintptr_t id = s.nextHandle++;
            s.handles[id] = handle;
            return reinterpret_cast<void *>(id);
        }
    }
    return nullptr;
}

DROVANEL_VHID_API int drovanel_vhid_read(void *handle, unsigned char *buffer, int size) {
    State &s = hostsim::detail::state();
    std::unique_lock<std::mutex> lock(s.mu);
    std::shared_ptr<DeviceHandle> h = hostsim::detail::fromHandle(s, handle);
    if (h == nullptr) {
        return 0;
    }
    Device &d = *h->device;
    ++d.readAttempts;
    if (buffer == nullptr || size <= 0) {
        return -1;
    }
    for (;;) {
        if (h->cancelled || h->gone || !d.attached) {
            return 0;
        }
        if (d.failReads) {
            return -1;
        }
        if (!d.input.empty()) {
            const std::vector<std::uint8_t> &report = d.input.front();
            int n = static_cast<int>(report.size()) < size ? static_cast<int>(report.size()) : size;
            std::copy(report.begin(), report.begin() + n, buffer);
            d.input.pop_front();
            return n;
        }
        s.vhidChanged.wait(lock);
    }
}

DROVANEL_VHID_API void drovanel_vhid_cancel(void *handle) {
    State &s = hostsim::detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    if (std::shared_ptr<DeviceHandle> h = hostsim::detail::fromHandle(s, handle)) {
        h->cancelled = true;
        s.vhidChanged.notify_all();
    }
}

DROVANEL_VHID_API int drovanel_vhid_set_feature(void *handle, const unsigned char *buffer, int size) {
    State &s = hostsim::detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    std::shared_ptr<DeviceHandle> h = hostsim::detail::fromHandle(s, handle);
    if (h == nullptr || buffer == nullptr || size <= 0) {
        return 0;
    }
    Device &d = *h->device;
    if (h->gone || !d.attached || d.refuseWrites) {
        return 0;
    }
    d.features.emplace_back(buffer, buffer + size);
    s.vhidChanged.notify_all();
    return 1;
}

DROVANEL_VHID_API int drovanel_vhid_get_feature(void *handle, unsigned char *buffer, int size) {
    State &s = hostsim::detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    std::shared_ptr<DeviceHandle> h = hostsim::detail::fromHandle(s, handle);
    if (h == nullptr || buffer == nullptr || size <= 0) {
        return 0;
    }
    const Device &d = *h->device;
    if (h->gone || !d.attached || d.failGetFeature) {
        return 0;
    }
    // buffer[0] keeps the report id asked for; the rest is the set answer,
    // zero where the answer is shorter.
    for (int i = 1; i < size; ++i) {
        buffer[i] = static_cast<std::size_t>(i) < d.featureAnswer.size() ? d.featureAnswer[i] : 0;
    }
    return 1;
}

DROVANEL_VHID_API void drovanel_vhid_close(void *handle) {
    State &s = hostsim::detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    auto it = s.handles.find(reinterpret_cast<std::uintptr_t>(handle));
    if (it == s.handles.end()) {
        return;
    }
    it->second->cancelled = true;  // a read still blocked on it returns 0
    --it->second->device->openNow;
    s.handles.erase(it);
    s.vhidChanged.notify_all();
}
