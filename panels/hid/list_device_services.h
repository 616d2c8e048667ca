// Device services over one plain list of devices (path, vendor, product),
// for backends that have no separate interface and raw-input lists: both
// of discovery's walks see the same list, read once per discovery, so that
// a device's path and ids always come from the same listing.
#ifndef DROVANEL_PANELS_HID_LIST_DEVICE_SERVICES_H
#define DROVANEL_PANELS_HID_LIST_DEVICE_SERVICES_H

#include <string>
#include <vector>

#include "device_services.h"

namespace drovanel {

class ListDeviceServices : public DeviceServices {
public:
    // The backend's list: listCount() reads it, listEntry() hands out the
    // entries of that reading.
    virtual int listCount() = 0;
    virtual bool listEntry(int index, std::string *path, std::uint16_t *vendorId, std::uint16_t *productId) = 0;
    // Opens a device by its narrow path; nullptr (and an errno-style code in
    // *error) on failure.
    virtual HidDevice *openPath(const std::string &path, std::uint32_t *error) = 0;

    std::uint32_t lastError() const override { return lastError_; }
    void *allocate(std::size_t bytes) override;
    void release(void *block) override;

    bool openInterfaceSet() override;
    void closeInterfaceSet() override {}
    bool enumDevice(std::uint32_t device) override;
    bool enumInterface(std::uint32_t device, std::uint32_t iface) override;
    bool interfaceDetail(std::uint32_t device, std::uint32_t iface, wchar_t *path, std::uint32_t pathCapacity,
                         std::uint32_t *requiredChars) override;

    bool rawInputCount(std::uint32_t *count) override;
    bool rawInputList(void **handles, std::uint32_t count) override;
    bool rawInputNameLength(void *handle, std::uint32_t *chars) override;
    bool rawInputName(void *handle, wchar_t *name, std::uint32_t capacity) override;
    bool rawInputInfo(void *handle, RawInputDeviceInfo *info) override;

    HidDevice *open(const wchar_t *path) override;
    bool attributes(HidDevice *device, std::uint16_t *vendorId, std::uint16_t *productId) override;

private:
    struct Listed {
        std::string path;
        std::uint16_t vendor;
        std::uint16_t product;
    };
    // Reads the backend's list into listed_.
    void takeListing();
    bool entry(std::uint32_t index, std::wstring *path, RawInputDeviceInfo *info);
    bool saitekEntry(std::uint32_t index, std::wstring *path);

    std::uint32_t lastError_ = 0;
    // The listing this discovery walks. The interface walk reads it, the
    // raw-input walk right after uses the same one (a walk alone reads its own).
    std::vector<Listed> listed_;
    bool listingFresh_ = false;

    // Devices opened here, with the ids of the entry they came from, so that
    // attributes() answers without another system call. Discovery asks right
    // after the open, so a short ring is enough.
    struct OpenedDevice {
        HidDevice *device;
        std::uint16_t vendor;
        std::uint16_t product;
    };
    static constexpr int kRememberedDevices = 16;
    OpenedDevice opened_[kRememberedDevices] = {};
    int openedNext_ = 0;
};

}  // namespace drovanel

#endif
