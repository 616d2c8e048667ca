// Device services that tests script: interface and raw-input lists, paths
// that fail to open, failing calls, with the error codes Windows gives.
#ifndef DROVANEL_TESTS_FAKE_DEVICE_SERVICES_H
#define DROVANEL_TESTS_FAKE_DEVICE_SERVICES_H

#include <map>
#include <string>
#include <vector>

#include "hid/device_services.h"

namespace drovanel {

class FakeDevice : public HidDevice {
public:
    FakeDevice(std::wstring path, std::vector<std::wstring> *closed) : path_(std::move(path)), closed_(closed) {}
    ~FakeDevice() override { closed_->push_back(path_); }
    int read(std::uint8_t *, int, const wchar_t *) override { return kReadCancelled; }
    void cancel() override {}
    bool setFeature(const std::uint8_t *, int) override { return true; }
    bool getFeature(std::uint8_t *, int) override { return false; }
    const std::wstring &path() const { return path_; }

private:
    std::wstring path_;
    std::vector<std::wstring> *closed_;
};

struct FakeInterface {
    std::wstring path;
    std::uint16_t vendor;
    std::uint16_t product;
    int insufficientAnswers = 1;  // answers of 122 before the detail comes
    std::uint32_t detailError = 0;  // another error instead of the detail
    bool attributesFail = false;
};

struct FakeRawDevice {
    std::wstring name;
    std::uint32_t type;
    std::uint16_t vendor;
    std::uint16_t product;
    bool nameLengthFails = false;
    bool nameFails = false;
    bool infoFails = false;
};

class FakeDeviceServices : public DeviceServices {
public:
    // Scripted lists.
    bool setFails = false;
    std::vector<std::vector<FakeInterface>> interfaceDevices;  // devices, each with its interfaces
    std::uint32_t endOfInterfacesError = kErrorNoMoreItems;
    std::uint32_t endOfDevicesError = kErrorNoMoreItems;
    std::vector<FakeRawDevice> rawDevices;
    int failAllocationAt = -1;  // the allocation (counted from 0) that fails
    bool listFails = false;
    std::map<std::wstring, std::uint32_t> openErrors;  // paths that fail to open, with the error

    // What happened.
    std::vector<std::wstring> opened;
    std::vector<std::wstring> closed;
    int detailCalls = 0;
    int allocationCalls = 0;
    int liveAllocations = 0;

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
    const FakeRawDevice &raw(void *handle) const;
    std::uint32_t lastError_ = 0;
    std::map<std::pair<std::uint32_t, std::uint32_t>, int> answered_;
};

}  // namespace drovanel

#endif
