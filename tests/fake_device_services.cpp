#include "fake_device_services.h"

#include <cstdlib>
#include <cwchar>

namespace drovanel {

void *FakeDeviceServices::allocate(std::size_t bytes) {
    if (allocationCalls++ == failAllocationAt) return nullptr;
    ++liveAllocations;
    return std::calloc(1, bytes);
}

void FakeDeviceServices::release(void *block) {
    if (block != nullptr) --liveAllocations;
    std::free(block);
}

bool FakeDeviceServices::openInterfaceSet() {
    lastError_ = setFails ? 13 : 0;
    return !setFails;
}

bool FakeDeviceServices::enumDevice(std::uint32_t device) {
    if (device < interfaceDevices.size()) {
        lastError_ = 0;
        return true;
    }
    lastError_ = endOfDevicesError;
    return false;
}

bool FakeDeviceServices::enumInterface(std::uint32_t device, std::uint32_t iface) {
    if (iface < interfaceDevices[device].size()) {
        lastError_ = 0;
        return true;
    }
    lastError_ = endOfInterfacesError;
    return false;
}

bool FakeDeviceServices::interfaceDetail(std::uint32_t device, std::uint32_t iface, wchar_t *path,
                                         std::uint32_t pathCapacity, std::uint32_t *requiredChars) {
    ++detailCalls;
    const FakeInterface &entry = interfaceDevices[device][iface];
    if (entry.detailError != 0) {
        lastError_ = entry.detailError;
        return false;
    }
    *requiredChars = static_cast<std::uint32_t>(entry.path.size());
    int &answered = answered_[{device, iface}];
    if (answered < entry.insufficientAnswers || path == nullptr || pathCapacity <= entry.path.size()) {
        ++answered;
        lastError_ = kErrorInsufficientBuffer;
        return false;
    }
    std::wmemcpy(path, entry.path.c_str(), entry.path.size() + 1);
    lastError_ = 0;
    return true;
}

bool FakeDeviceServices::rawInputCount(std::uint32_t *count) {
    *count = static_cast<std::uint32_t>(rawDevices.size());
    return true;
}

bool FakeDeviceServices::rawInputList(void **handles, std::uint32_t count) {
    if (listFails) return false;
    for (std::uint32_t i = 0; i < count; ++i) handles[i] = &rawDevices[i];
    return true;
}

const FakeRawDevice &FakeDeviceServices::raw(void *handle) const { return *static_cast<FakeRawDevice *>(handle); }

bool FakeDeviceServices::rawInputNameLength(void *handle, std::uint32_t *chars) {
    if (raw(handle).nameLengthFails) return false;
    *chars = static_cast<std::uint32_t>(raw(handle).name.size());
    return true;
}

bool FakeDeviceServices::rawInputName(void *handle, wchar_t *name, std::uint32_t capacity) {
    const FakeRawDevice &device = raw(handle);
    if (device.nameFails || capacity <= device.name.size()) return false;
    std::wmemcpy(name, device.name.c_str(), device.name.size() + 1);
    return true;
}

bool FakeDeviceServices::rawInputInfo(void *handle, RawInputDeviceInfo *info) {
    const FakeRawDevice &device = raw(handle);
    if (device.infoFails) return false;
    *info = RawInputDeviceInfo{device.type, device.vendor, device.product};
    return true;
}

HidDevice *FakeDeviceServices::open(const wchar_t *path) {
    auto failing = openErrors.find(path);
    if (failing != openErrors.end()) {
        lastError_ = failing->second;
        return nullptr;
    }
    opened.push_back(path);
    lastError_ = 0;
    return new FakeDevice(path, &closed);
}

bool FakeDeviceServices::attributes(HidDevice *device, std::uint16_t *vendorId, std::uint16_t *productId) {
    const std::wstring &path = static_cast<FakeDevice *>(device)->path();
    for (const auto &interfaces : interfaceDevices) {
        for (const FakeInterface &entry : interfaces) {
            if (entry.path != path) continue;
            if (entry.attributesFail) {
                lastError_ = 31;
                return false;
            }
            *vendorId = entry.vendor;
            *productId = entry.product;
            lastError_ = 0;
            return true;
        }
    }
    lastError_ = 1;
    return false;
}

}  // namespace drovanel
