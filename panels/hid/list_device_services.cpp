#include "list_device_services.h"

#include <cstdint>
#include <cstdlib>
#include <cwchar>

#include "panel_ids.h"

namespace drovanel {

namespace {

std::wstring widen(const std::string &narrow) { return std::wstring(narrow.begin(), narrow.end()); }

std::string narrow(const wchar_t *wide) {
    std::string out;
    for (; *wide != L'\0'; ++wide) out += static_cast<char>(*wide);
    return out;
}

// List handles in the raw-input walk are entry index + 1.
std::uint32_t handleIndex(void *handle) { return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(handle) - 1); }

}  // namespace

void *ListDeviceServices::allocate(std::size_t bytes) { return std::calloc(1, bytes); }
void ListDeviceServices::release(void *block) { std::free(block); }

void ListDeviceServices::takeListing() {
    listed_.clear();
    int count = listCount();
    for (int i = 0; i < count; ++i) {
        Listed entry{std::string(), 0, 0};
        // An entry gone since the count ends the list.
        if (!listEntry(i, &entry.path, &entry.vendor, &entry.product)) break;
        // A device plugged in meanwhile moves the later ones up: one already
        // taken may come again.
        bool seen = false;
        for (const Listed &e : listed_) seen = seen || e.path == entry.path;
        if (!seen) listed_.push_back(std::move(entry));
    }
}

bool ListDeviceServices::entry(std::uint32_t index, std::wstring *path, RawInputDeviceInfo *info) {
    if (index >= listed_.size()) {
        lastError_ = kErrorNoMoreItems;
        return false;
    }
    const Listed &e = listed_[index];
    if (path != nullptr) *path = widen(e.path);
    if (info != nullptr) *info = RawInputDeviceInfo{kRawInputTypeHid, e.vendor, e.product};
    lastError_ = 0;
    return true;
}

// The interface walk looks for the BIP only. Unlike Windows, these lists
// give the ids before a device is opened, so the walk sees only Saitek
// devices and never opens (or logs about) a user's keyboard or mouse.
bool ListDeviceServices::saitekEntry(std::uint32_t index, std::wstring *path) {
    RawInputDeviceInfo info;
    for (std::uint32_t i = 0; entry(i, path, &info); ++i) {
        if (info.vendorId != kSaitekVendorId) continue;
        if (index-- == 0) return true;
    }
    return false;
}

bool ListDeviceServices::openInterfaceSet() {
    takeListing();
    listingFresh_ = true;
    lastError_ = 0;
    return true;
}

bool ListDeviceServices::enumDevice(std::uint32_t device) { return saitekEntry(device, nullptr); }

bool ListDeviceServices::enumInterface(std::uint32_t device, std::uint32_t iface) {
    if (iface != 0) {
        lastError_ = kErrorNoMoreItems;
        return false;
    }
    return saitekEntry(device, nullptr);
}

bool ListDeviceServices::interfaceDetail(std::uint32_t device, std::uint32_t iface, wchar_t *path,
                                         std::uint32_t pathCapacity, std::uint32_t *requiredChars) {
    std::wstring p;
    if (iface != 0 || !saitekEntry(device, &p)) return false;
    *requiredChars = static_cast<std::uint32_t>(p.size());
    if (path == nullptr || pathCapacity < p.size() + 1) {
        lastError_ = kErrorInsufficientBuffer;
        return false;
    }
    std::wmemcpy(path, p.c_str(), p.size() + 1);
    return true;
}

bool ListDeviceServices::rawInputCount(std::uint32_t *count) {
    if (!listingFresh_) takeListing();
    listingFresh_ = false;
    *count = static_cast<std::uint32_t>(listed_.size());
    lastError_ = 0;
    return true;
}

bool ListDeviceServices::rawInputList(void **handles, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i) handles[i] = reinterpret_cast<void *>(static_cast<std::uintptr_t>(i) + 1);
    return true;
}

bool ListDeviceServices::rawInputNameLength(void *handle, std::uint32_t *chars) {
    std::wstring p;
    if (!entry(handleIndex(handle), &p, nullptr)) return false;
    *chars = static_cast<std::uint32_t>(p.size());
    return true;
}

bool ListDeviceServices::rawInputName(void *handle, wchar_t *name, std::uint32_t capacity) {
    std::wstring p;
    if (!entry(handleIndex(handle), &p, nullptr)) return false;
    if (capacity < p.size() + 1) {
        lastError_ = kErrorInsufficientBuffer;
        return false;
    }
    std::wmemcpy(name, p.c_str(), p.size() + 1);
    return true;
}

bool ListDeviceServices::rawInputInfo(void *handle, RawInputDeviceInfo *info) {
    return entry(handleIndex(handle), nullptr, info);
}

HidDevice *ListDeviceServices::open(const wchar_t *path) {
    std::string p = narrow(path);
    // Find the entry for its ids; a path that is not listed cannot be opened.
    for (const Listed &e : listed_) {
        if (e.path != p) continue;
        const std::uint16_t vendor = e.vendor;
        const std::uint16_t product = e.product;
        std::uint32_t error = 0;
        HidDevice *device = openPath(p, &error);
        if (device == nullptr) {
            lastError_ = error;
            return nullptr;
        }
        // A freed device's address may come back: forget older entries for it.
        for (OpenedDevice &o : opened_) {
            if (o.device == device) o = OpenedDevice{};
        }
        opened_[openedNext_] = {device, vendor, product};
        openedNext_ = (openedNext_ + 1) % kRememberedDevices;
        lastError_ = 0;
        return device;
    }
    // Not listed: discovery's second try with a changed path. Keep the first
    // try's error, which tells the user why the device could not be opened.
    if (lastError_ == 0) lastError_ = 2;  // not found
    return nullptr;
}

bool ListDeviceServices::attributes(HidDevice *device, std::uint16_t *vendorId, std::uint16_t *productId) {
    for (const OpenedDevice &o : opened_) {
        if (o.device == device && device != nullptr) {
            *vendorId = o.vendor;
            *productId = o.product;
            lastError_ = 0;
            return true;
        }
    }
    lastError_ = 1;
    return false;
}

}  // namespace drovanel
