#include "discovery.h"

#include <cstdio>
#include <cstring>
#include <cwchar>

#include "XPLMUtilities.h"
#include "hid/device_list.h"
#include "panel_ids.h"

namespace drovanel {

namespace {

// The interface detail is asked for at most this many times with a record.
constexpr int kDetailAttempts = 5;

void logCode(const char *format, unsigned long code) {
    char line[128];
    std::snprintf(line, sizeof line, format, static_cast<int>(code));
    XPLMDebugString(line);
}

// Opens a device path; on failure retries once with the second character
// turned into a backslash, which makes a raw-input name "\??\..." into the
// "\\?\..." form that the file services accept. firstError receives the
// error of the first attempt.
HidDevice *openDevicePath(DeviceServices &services, wchar_t *path, std::uint32_t *firstError,
                          bool logEachFailure) {
    HidDevice *device = services.open(path);
    if (device != nullptr) return device;
    std::uint32_t error = services.lastError();
    if (firstError != nullptr) *firstError = error;
    if (logEachFailure) logCode("error code %d\n", error);
    if (path[0] != L'\0') {
        path[1] = L'\\';
        device = services.open(path);
        if (device == nullptr && logEachFailure) logCode("error code %d\n", error);
    }
    return device;
}

}  // namespace

void adoptDevice(PanelRegistry &registry, PanelCreator create, PanelSlot slot, HidDevice *device,
                 const std::string &deviceKey) {
    AbstractPanel *panel = create(slot, device);
    if (panel != nullptr) {
        registry.adopt(slot, panel);
        registry.adoptedFrom(slot, deviceKey);
    } else {
        delete device;
    }
}

bool slotForProduct(const PanelRegistry &registry, std::uint16_t productId, PanelSlot *slot) {
    switch (productId) {
        case kMultiPanelProductId:
            *slot = PanelSlot::Multipanel;
            return registry.slotEmpty(PanelSlot::Multipanel);
        case kRadioPanelProductId:
            if (registry.slotEmpty(PanelSlot::Radiopanel1)) {
                *slot = PanelSlot::Radiopanel1;
                return true;
            }
            *slot = PanelSlot::Radiopanel2;
            return registry.slotEmpty(PanelSlot::Radiopanel2);
        case kSwitchPanelProductId:
            *slot = PanelSlot::Switchpanel;
            return !registry.ignoreSwitchPanel() && registry.slotEmpty(PanelSlot::Switchpanel);
        case kBipProductId:
            *slot = PanelSlot::Bip;
            return registry.slotEmpty(PanelSlot::Bip);
        default:
            return false;
    }
}

namespace {

void scanInterface(DeviceServices &services, PanelRegistry &registry, PanelCreator create, std::uint32_t dev,
                   std::uint32_t iface, bool *leaveDevice) {
    std::uint32_t required = 0;
    wchar_t *path = nullptr;
    bool ok = services.interfaceDetail(dev, iface, nullptr, 0, &required);
    for (int attempt = 0; !ok && services.lastError() == kErrorInsufficientBuffer; ++attempt) {
        services.release(path);
        path = nullptr;
        if (attempt == kDetailAttempts) return;  // gave up on this interface
        std::uint32_t chars = required + 1;
        path = static_cast<wchar_t *>(services.allocate(chars * sizeof(wchar_t)));
        if (path == nullptr) return;
        std::memset(path, 0, chars * sizeof(wchar_t));
        ok = services.interfaceDetail(dev, iface, path, chars, &required);
    }
    if (!ok) {
        services.release(path);
        logCode("Drovanel : can not get device class guid code %d\n", services.lastError());
        return;
    }
    if (path == nullptr) return;  // the services reported a path without giving one

    const std::string key = devicePathKey(path);
    if (registry.skipDevice(key)) {
        services.release(path);
        return;
    }
    HidDevice *device = openDevicePath(services, path, nullptr, false);
    services.release(path);
    if (device == nullptr) {
        registry.openFailed(key);
        logCode("Drovanel : no handle error=%d\n", services.lastError());
        return;
    }
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    if (!services.attributes(device, &vendor, &product)) {
        logCode("Drovanel : no hid attributes error=%d\n", services.lastError());
        delete device;
        return;
    }
    if (vendor == kSaitekVendorId && product == kBipProductId && registry.slotEmpty(PanelSlot::Bip)) {
        XPLMDebugString("Drovanel: BIP listed\n");
        adoptDevice(registry, create, PanelSlot::Bip, device, key);
        *leaveDevice = true;
        return;
    }
    delete device;
    std::uint32_t error = services.lastError();
    if (error != 0 && error != kErrorNoMoreItems) XPLMDebugString("Drovanel : end of interface list\n");
}

}  // namespace

void scanHidInterfaces(DeviceServices &services, PanelRegistry &registry, PanelCreator create) {
    if (!services.openInterfaceSet()) {
        XPLMDebugString("Drovanel : Creation of handle to device info failed\n");
        return;
    }
    for (std::uint32_t dev = 0; services.enumDevice(dev); ++dev) {
        bool leaveDevice = false;
        for (std::uint32_t iface = 0; !leaveDevice && services.enumInterface(dev, iface); ++iface) {
            scanInterface(services, registry, create, dev, iface, &leaveDevice);
        }
        if (leaveDevice) continue;
        std::uint32_t error = services.lastError();
        if (error != 0 && error != kErrorNoMoreItems) {
            logCode("Drovanel : unormal end of interface list with code %d\n", error);
        }
    }
    std::uint32_t error = services.lastError();
    if (error != 0 && error != kErrorNoMoreItems) logCode("Drovanel : unormal end of device list with code %d\n", error);
    services.closeInterfaceSet();
}

void discoverPanels(DeviceServices &services, PanelRegistry &registry, PanelCreator create) {
    scanHidInterfaces(services, registry, create);

    std::uint32_t count = 0;
    if (!services.rawInputCount(&count) || count == 0) {
        XPLMDebugString("Drovanel : no input devices\n");
        return;
    }
    void **list = static_cast<void **>(services.allocate(count * sizeof(void *)));
    if (list == nullptr) {
        XPLMDebugString("Drovanel : Could not allocate memory for device list.\n");
        return;
    }
    if (!services.rawInputList(list, count)) {
        XPLMDebugString("Drovanel : Could not get device list.");
        services.release(list);
        return;
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t chars = 0;
        if (!services.rawInputNameLength(list[i], &chars)) {
            XPLMDebugString("Drovanel : Unable to get Device Name character count.. Moving to next device.");
            continue;
        }
        auto *name = static_cast<wchar_t *>(services.allocate((chars + 1) * sizeof(wchar_t)));
        if (name == nullptr) {
            XPLMDebugString("Drovanel : Unable to allocate memory for Device Name.. Moving to next device.");
            continue;
        }
        name[chars] = L'\0';
        if (!services.rawInputName(list[i], name, chars + 1)) {
            XPLMDebugString("Drovanel : Unable to get Device Name. Moving to next device.");
            services.release(name);
            continue;
        }
        name[chars] = L'\0';
        RawInputDeviceInfo info;
        if (!services.rawInputInfo(list[i], &info)) {
            XPLMDebugString("Drovanel : Unable to read Device Info. Moving to next device.");
            services.release(name);
            continue;
        }
        PanelSlot slot;
        if (info.type == kRawInputTypeHid && info.vendorId == kSaitekVendorId &&
            slotForProduct(registry, info.productId, &slot)) {
            const std::string key = devicePathKey(name);
            if (!registry.skipDevice(key)) {
                std::uint32_t firstError = 0;
                HidDevice *device = openDevicePath(services, name, &firstError, slot == PanelSlot::Bip);
                if (device != nullptr) {
                    adoptDevice(registry, create, slot, device, key);
                } else {
                    registry.openFailed(key);
                }
            }
        }
        services.release(name);
    }
    services.release(list);
}

}  // namespace drovanel
