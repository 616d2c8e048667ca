// The operating system's device services as discovery sees them: the
// HID-interface walk and the raw-input walk, modelled on the Windows calls so
// that one discovery algorithm serves every backend. Backends other than
// Windows present their one device list through both walks.
//
// Every call that fails leaves its reason in lastError(), as GetLastError()
// does on Windows.
#ifndef DROVANEL_PANELS_HID_DEVICE_SERVICES_H
#define DROVANEL_PANELS_HID_DEVICE_SERVICES_H

#include <cstddef>
#include <cstdint>

#include "hid_device.h"

namespace drovanel {

// System error codes that discovery tells apart.
constexpr std::uint32_t kErrorInsufficientBuffer = 122;
constexpr std::uint32_t kErrorNoMoreItems = 259;
constexpr std::uint32_t kErrorOperationAborted = 995;

// Raw-input device type of a HID device.
constexpr std::uint32_t kRawInputTypeHid = 2;

struct RawInputDeviceInfo {
    std::uint32_t type = 0;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
};

class DeviceServices {
public:
    virtual ~DeviceServices() = default;

    virtual std::uint32_t lastError() const = 0;

    // Memory for the raw-input list and device names; may fail (nullptr).
    virtual void *allocate(std::size_t bytes) = 0;
    virtual void release(void *block) = 0;

    // --- HID-interface walk ---
    // Opens the set of present devices exposing the HID interface class.
    virtual bool openInterfaceSet() = 0;
    virtual void closeInterfaceSet() = 0;
    // Whether device number `device` of the set exists.
    virtual bool enumDevice(std::uint32_t device) = 0;
    // Whether interface number `iface` of that device exists.
    virtual bool enumInterface(std::uint32_t device, std::uint32_t iface) = 0;
    // Fetches the interface's device path. With path == nullptr (or too
    // small, pathCapacity in wide characters) it fails with
    // kErrorInsufficientBuffer and sets *requiredChars.
    virtual bool interfaceDetail(std::uint32_t device, std::uint32_t iface, wchar_t *path,
                                 std::uint32_t pathCapacity, std::uint32_t *requiredChars) = 0;

    // --- raw-input walk ---
    // Number of raw-input devices; false when it cannot be had.
    virtual bool rawInputCount(std::uint32_t *count) = 0;
    // Fills `handles` (count entries) with the devices' list handles.
    virtual bool rawInputList(void **handles, std::uint32_t count) = 0;
    // Length of the device's name in wide characters, without terminator.
    virtual bool rawInputNameLength(void *handle, std::uint32_t *chars) = 0;
    virtual bool rawInputName(void *handle, wchar_t *name, std::uint32_t capacity) = 0;
    virtual bool rawInputInfo(void *handle, RawInputDeviceInfo *info) = 0;

    // --- devices ---
    // Opens the device at path for reading and writing; nullptr on failure.
    virtual HidDevice *open(const wchar_t *path) = 0;
    // Reads vendor and product id of an open device.
    virtual bool attributes(HidDevice *device, std::uint16_t *vendorId, std::uint16_t *productId) = 0;
};

// The services of the backend this binary was built with.
DeviceServices &systemDeviceServices();

}  // namespace drovanel

#endif
