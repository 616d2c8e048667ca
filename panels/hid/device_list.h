// The present devices as the device watch sees them: a plain list read by
// each backend in its own way (the virtual list, sysfs, SetupDi). It keeps
// no state shared with discovery's services, so the watch's thread may list
// while the simulator thread runs discovery.
#ifndef DROVANEL_PANELS_HID_DEVICE_LIST_H
#define DROVANEL_PANELS_HID_DEVICE_LIST_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace drovanel {

class HidDevice;

struct ListedDevice {
    std::string path;      // as discovery opens it (narrowed on Windows)
    std::string instance;  // tells two appearances at the same path apart; may be empty
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
};

// Fills out with the devices present now, reusing the storage of the
// entries already there (so that a watch listing an unchanged set does not
// allocate); false when the list cannot be had (the watch then keeps its
// last list).
using DeviceLister = bool (*)(std::vector<ListedDevice> *out);

// The lister of the backend this binary was built with.
bool listSystemDevices(std::vector<ListedDevice> *out);

// Opens a listed device by its path, for the watch's thread: it logs
// nothing and shares no state with discovery's services. nullptr and the
// system's error code in *error on failure.
using DeviceOpener = HidDevice *(*)(const std::string &path, std::uint32_t *error);

// The opener of the backend this binary was built with, and the words for
// its error codes in a log line.
HidDevice *openListedDevice(const std::string &path, std::uint32_t *error);
std::string openErrorText(std::uint32_t error);

// A path as a key for comparing: ASCII lower case, and the raw-input form
// "\??\" of a Windows path written as "\\?\", so that the same device
// compares equal whichever list named it.
std::string devicePathKey(const std::string &path);
std::string devicePathKey(const wchar_t *path);
// Whether two paths have the same key, without building them.
bool samePathKey(const std::string &a, const std::string &b);

// Makes room for entry `index` of a list being refilled and returns it.
inline ListedDevice &listEntryAt(std::vector<ListedDevice> *list, std::size_t index) {
    if (list->size() <= index) list->resize(index + 1);
    return (*list)[index];
}

// Vendor and product from a Windows HID device path ("...#vid_06a3&pid_0d05...",
// any case); false when the path names none.
bool idsFromDevicePath(const std::string &path, std::uint16_t *vendorId, std::uint16_t *productId);

}  // namespace drovanel

#endif
