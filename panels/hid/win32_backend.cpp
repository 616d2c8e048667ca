// The Windows HID backend: discovery's two walks over the SetupDi HID
// interface set and the raw-input device list, and panels opened as
// overlapped file handles read with ReadFile and written with
// HidD_SetFeature.
#include <windows.h>

#include <setupapi.h>

// hidsdi.h has no C++ guard of its own.
extern "C" {
#include <hidsdi.h>
}

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "device_list.h"
#include "device_services.h"
#include "win32_device.h"

namespace drovanel {

namespace {

class Win32Device : public HidDevice {
public:
    explicit Win32Device(HANDLE handle) : handle_(handle) {}
    ~Win32Device() override { CloseHandle(handle_); }

    Win32Device(const Win32Device &) = delete;
    Win32Device &operator=(const Win32Device &) = delete;

    int read(std::uint8_t *buffer, int size, const wchar_t *eventName) override;
    void cancel() override;
    bool setFeature(const std::uint8_t *buffer, int size) override;
    bool getFeature(std::uint8_t *buffer, int size) override;

    HANDLE handle() const { return handle_; }

private:
    // Waits until the pending read is over. A named event is shared with
    // every process that opens the same name, so a wake-up may come from
    // elsewhere while the read is still pending; the buffer and OVERLAPPED
    // live on the caller's stack and must not be left to a pending read.
    BOOL finishPendingRead(OVERLAPPED *overlapped, DWORD *got);

    const HANDLE handle_;
    std::atomic<bool> cancelled_{false};
};

int Win32Device::read(std::uint8_t *buffer, int size, const wchar_t *eventName) {
    if (cancelled_.load()) return kReadCancelled;
    if (size <= 0) return kReadFailed;
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, eventName);
    if (event == nullptr) return kReadFailed;

    OVERLAPPED overlapped = {};
    overlapped.hEvent = event;
    DWORD got = 0;
    // The count comes from GetOverlappedResult, also when ReadFile completes
    // at once: an overlapped ReadFile's own count is not reliable.
    BOOL ok = ReadFile(handle_, buffer, static_cast<DWORD>(size), nullptr, &overlapped);
    DWORD error = ok ? ERROR_SUCCESS : GetLastError();
    if (ok || error == ERROR_IO_PENDING) {
        // cancel() may have run between the check above and ReadFile, when
        // there was no read for it to cancel yet.
        if (!ok && cancelled_.load()) CancelIoEx(handle_, &overlapped);
        WaitForSingleObject(event, 0);
        ok = finishPendingRead(&overlapped, &got);
        error = ok ? ERROR_SUCCESS : GetLastError();
    }
    CloseHandle(event);

    if (ok) return got > 0 ? static_cast<int>(got) : kReadFailed;
    if (error == ERROR_OPERATION_ABORTED || cancelled_.load()) return kReadCancelled;
    // The panel was unplugged: its handle stays dead.
    if (readErrorMeansGone(error)) return kReadCancelled;
    return kReadFailed;
}

BOOL Win32Device::finishPendingRead(OVERLAPPED *overlapped, DWORD *got) {
    for (;;) {
        BOOL ok = GetOverlappedResult(handle_, overlapped, got, TRUE);
        if (HasOverlappedIoCompleted(overlapped)) return ok;
        // Woken by someone else's SetEvent with the read still pending:
        // clear the event and wait again. GetOverlappedResult looks at the
        // read's status before it waits, so a completion right before the
        // reset is not missed.
        ResetEvent(overlapped->hEvent);
    }
}

void Win32Device::cancel() {
    cancelled_.store(true);
    CancelIoEx(handle_, nullptr);
}

bool Win32Device::setFeature(const std::uint8_t *buffer, int size) {
    if (size <= 0) return false;
    // HidD_SetFeature only reads the buffer; its prototype is not const.
    if (HidD_SetFeature(handle_, const_cast<std::uint8_t *>(buffer), static_cast<ULONG>(size)) != FALSE) return true;
    // The same path may name the panel again once it is plugged back in,
    // so a listing alone may never show that this handle's device went.
    if (writeErrorMeansGone(GetLastError())) markDisconnected();
    return false;
}

bool Win32Device::getFeature(std::uint8_t *buffer, int size) {
    if (size <= 0) return false;
    return HidD_GetFeature(handle_, buffer, static_cast<ULONG>(size)) != FALSE;
}

// The device path starts this far into SetupDi's detail record.
constexpr DWORD kDetailPathOffset = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath);

std::uint32_t detailBytesToChars(DWORD bytes) {
    if (bytes <= kDetailPathOffset) return 0;
    return static_cast<std::uint32_t>((bytes - kDetailPathOffset + sizeof(wchar_t) - 1) / sizeof(wchar_t));
}

class Win32Services : public DeviceServices {
public:
    ~Win32Services() override { closeInterfaceSet(); }

    std::uint32_t lastError() const override { return lastError_; }
    void *allocate(std::size_t bytes) override { return std::calloc(1, bytes); }
    void release(void *block) override { std::free(block); }

    bool openInterfaceSet() override;
    void closeInterfaceSet() override;
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
    // Every call keeps the system's code right away: discovery logs it
    // later, after calls of its own that may change GetLastError().
    bool record(bool ok) {
        lastError_ = GetLastError();
        return ok;
    }

    GUID hidClass_ = {};
    HDEVINFO set_ = INVALID_HANDLE_VALUE;
    // The device and interface that the walk stands at.
    SP_DEVINFO_DATA device_ = {};
    std::uint32_t deviceIndex_ = 0;
    bool haveDevice_ = false;
    SP_DEVICE_INTERFACE_DATA interface_ = {};
    std::uint32_t interfaceIndex_ = 0;
    bool haveInterface_ = false;
    std::uint32_t lastError_ = 0;
};

bool Win32Services::openInterfaceSet() {
    closeInterfaceSet();
    HidD_GetHidGuid(&hidClass_);
    set_ = SetupDiGetClassDevsW(&hidClass_, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    return record(set_ != INVALID_HANDLE_VALUE);
}

void Win32Services::closeInterfaceSet() {
    if (set_ != INVALID_HANDLE_VALUE) SetupDiDestroyDeviceInfoList(set_);
    set_ = INVALID_HANDLE_VALUE;
    haveDevice_ = false;
    haveInterface_ = false;
}

bool Win32Services::enumDevice(std::uint32_t device) {
    haveDevice_ = false;
    haveInterface_ = false;
    device_ = {};
    device_.cbSize = sizeof(device_);
    if (!record(SetupDiEnumDeviceInfo(set_, device, &device_) != FALSE)) return false;
    deviceIndex_ = device;
    haveDevice_ = true;
    return true;
}

bool Win32Services::enumInterface(std::uint32_t device, std::uint32_t iface) {
    if ((!haveDevice_ || deviceIndex_ != device) && !enumDevice(device)) return false;
    haveInterface_ = false;
    interface_ = {};
    interface_.cbSize = sizeof(interface_);
    if (!record(SetupDiEnumDeviceInterfaces(set_, &device_, &hidClass_, iface, &interface_) != FALSE)) return false;
    interfaceIndex_ = iface;
    haveInterface_ = true;
    return true;
}

bool Win32Services::interfaceDetail(std::uint32_t device, std::uint32_t iface, wchar_t *path,
                                    std::uint32_t pathCapacity, std::uint32_t *requiredChars) {
    if ((!haveInterface_ || deviceIndex_ != device || interfaceIndex_ != iface) && !enumInterface(device, iface)) {
        return false;
    }
    DWORD requiredBytes = 0;
    if (path == nullptr || pathCapacity == 0) {
        // The size query: fails with ERROR_INSUFFICIENT_BUFFER and the size.
        bool ok = record(SetupDiGetDeviceInterfaceDetailW(set_, &interface_, nullptr, 0, &requiredBytes, nullptr) !=
                         FALSE);
        *requiredChars = detailBytesToChars(requiredBytes);
        return ok;
    }
    // The record is a DWORD size field followed by the path; DWORD units keep
    // it aligned.
    DWORD recordBytes = kDetailPathOffset + static_cast<DWORD>(pathCapacity * sizeof(wchar_t));
    std::vector<DWORD> storage((recordBytes + sizeof(DWORD) - 1) / sizeof(DWORD), 0);
    auto *detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W *>(storage.data());
    // The size of the fixed part, which differs between 32 and 64 bits.
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    bool ok = record(SetupDiGetDeviceInterfaceDetailW(set_, &interface_, detail, recordBytes, &requiredBytes,
                                                      nullptr) != FALSE);
    *requiredChars = detailBytesToChars(requiredBytes);
    if (!ok) return false;
    std::uint32_t i = 0;
    for (; i + 1 < pathCapacity && detail->DevicePath[i] != L'\0'; ++i) path[i] = detail->DevicePath[i];
    path[i] = L'\0';
    return true;
}

bool Win32Services::rawInputCount(std::uint32_t *count) {
    UINT n = 0;
    bool ok = record(GetRawInputDeviceList(nullptr, &n, sizeof(RAWINPUTDEVICELIST)) != static_cast<UINT>(-1));
    *count = ok ? n : 0;
    return ok;
}

bool Win32Services::rawInputList(void **handles, std::uint32_t count) {
    std::vector<RAWINPUTDEVICELIST> list(count);
    UINT n = count;
    UINT stored = GetRawInputDeviceList(list.data(), &n, sizeof(RAWINPUTDEVICELIST));
    if (!record(stored != static_cast<UINT>(-1))) return false;
    // A device that left since the count leaves a null entry, which every
    // later call about it refuses.
    for (std::uint32_t i = 0; i < count; ++i) handles[i] = i < stored ? list[i].hDevice : nullptr;
    return true;
}

bool Win32Services::rawInputNameLength(void *handle, std::uint32_t *chars) {
    if (handle == nullptr) {
        lastError_ = ERROR_INVALID_HANDLE;
        return false;
    }
    UINT size = 0;
    UINT result = GetRawInputDeviceInfoW(static_cast<HANDLE>(handle), RIDI_DEVICENAME, nullptr, &size);
    bool ok = record(result == 0);
    *chars = ok ? size : 0;
    return ok;
}

bool Win32Services::rawInputName(void *handle, wchar_t *name, std::uint32_t capacity) {
    if (handle == nullptr) {
        lastError_ = ERROR_INVALID_HANDLE;
        return false;
    }
    UINT size = capacity;
    UINT result = GetRawInputDeviceInfoW(static_cast<HANDLE>(handle), RIDI_DEVICENAME, name, &size);
    return record(result != static_cast<UINT>(-1) && result != 0);
}

bool Win32Services::rawInputInfo(void *handle, RawInputDeviceInfo *info) {
    if (handle == nullptr) {
        lastError_ = ERROR_INVALID_HANDLE;
        return false;
    }
    RID_DEVICE_INFO device = {};
    device.cbSize = sizeof(device);
    UINT size = sizeof(device);
    UINT result = GetRawInputDeviceInfoW(static_cast<HANDLE>(handle), RIDI_DEVICEINFO, &device, &size);
    if (!record(result != static_cast<UINT>(-1) && result != 0)) return false;
    *info = RawInputDeviceInfo{};
    info->type = device.dwType;
    // The record is a union: vendor and product exist for HID devices only.
    if (device.dwType == RIM_TYPEHID) {
        info->vendorId = static_cast<std::uint16_t>(device.hid.dwVendorId);
        info->productId = static_cast<std::uint16_t>(device.hid.dwProductId);
    }
    return true;
}

HidDevice *Win32Services::open(const wchar_t *path) {
    HANDLE handle = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (!record(handle != INVALID_HANDLE_VALUE)) return nullptr;
    return new Win32Device(handle);
}

bool Win32Services::attributes(HidDevice *device, std::uint16_t *vendorId, std::uint16_t *productId) {
    if (device == nullptr) {
        lastError_ = ERROR_INVALID_HANDLE;
        return false;
    }
    // Every device discovery hands back here came from open() above.
    HIDD_ATTRIBUTES attributes = {};
    attributes.Size = sizeof(attributes);
    if (!record(HidD_GetAttributes(static_cast<Win32Device *>(device)->handle(), &attributes) != FALSE)) return false;
    *vendorId = attributes.VendorID;
    *productId = attributes.ProductID;
    return true;
}

}  // namespace

// The present HID interfaces from their own SetupDi set (discovery's walk
// keeps another), with the ids their paths carry. Windows names a device
// the same way each time it is plugged into the same port, so the instance
// stays empty: the reader finds such a panel gone.
bool listSystemDevices(std::vector<ListedDevice> *out) {
    GUID hidClass = {};
    HidD_GetHidGuid(&hidClass);
    HDEVINFO set = SetupDiGetClassDevsW(&hidClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE) return false;
    SP_DEVICE_INTERFACE_DATA iface = {};
    iface.cbSize = sizeof(iface);
    std::vector<char> record;
    std::size_t n = 0;
    for (DWORD i = 0; SetupDiEnumDeviceInterfaces(set, nullptr, &hidClass, i, &iface); ++i) {
        DWORD required = 0;
        SetupDiGetDeviceInterfaceDetailW(set, &iface, nullptr, 0, &required, nullptr);
        if (required <= kDetailPathOffset) continue;
        record.assign(required + sizeof(wchar_t), 0);
        auto *detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W *>(record.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        if (!SetupDiGetDeviceInterfaceDetailW(set, &iface, detail, required, nullptr, nullptr)) continue;
        ListedDevice &device = listEntryAt(out, n++);
        device.path.clear();
        for (const wchar_t *c = detail->DevicePath; *c != L'\0'; ++c) device.path += static_cast<char>(*c);
        device.instance.clear();
        device.vendorId = 0;
        device.productId = 0;
        idsFromDevicePath(device.path, &device.vendorId, &device.productId);
    }
    SetupDiDestroyDeviceInfoList(set);
    out->resize(n);
    return true;
}

HidDevice *openListedDevice(const std::string &path, std::uint32_t *error) {
    const std::wstring wide(path.begin(), path.end());
    HANDLE handle = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        return nullptr;
    }
    return new Win32Device(handle);
}

std::string openErrorText(std::uint32_t error) { return "error " + std::to_string(error); }

HidDevice *adoptWin32Handle(void *handle) { return new Win32Device(static_cast<HANDLE>(handle)); }

bool readErrorMeansGone(unsigned long error) {
    switch (error) {
        case ERROR_DEVICE_NOT_CONNECTED:  // Windows' HID class, once the device left
        case ERROR_DEV_NOT_EXIST:
        // wine's HID class completes the reads of a device that left, and
        // fails every later one, with STATUS_DELETE_PENDING, which reaches
        // the caller as access denied; an open handle is never denied a
        // read otherwise.
        case ERROR_ACCESS_DENIED:
            return true;
        default:
            return false;
    }
}

bool writeErrorMeansGone(unsigned long error) {
    return error == ERROR_DEVICE_NOT_CONNECTED || error == ERROR_DEV_NOT_EXIST;
}

DeviceServices &systemDeviceServices() {
    static Win32Services services;
    return services;
}

}  // namespace drovanel
