// The Linux HID backend: devices are the kernel's /dev/hidrawN nodes, listed
// from sysfs. systemDeviceServices() uses the real roots; tests build their
// own services over a fake sysfs tree and device folder.
#ifndef DROVANEL_PANELS_HID_HIDRAW_BACKEND_H
#define DROVANEL_PANELS_HID_HIDRAW_BACKEND_H

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "list_device_services.h"

namespace drovanel {

struct HidrawEntry {
    std::string path;  // device node, e.g. /dev/hidraw3
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    // The kernel's name of the HID device behind the node (the device link's
    // target, e.g. "0003:06A3:0D05.0007"): its sequence number is new at
    // each plug, even where the node's number is used again.
    std::string instance;
};

// Reads vendor and product from a hid device's uevent text (the line
// HID_ID=bus:vendor:product, hexadecimal). False when there is none or an
// id does not fit 16 bits.
bool parseHidId(const std::string &uevent, std::uint16_t *vendorId, std::uint16_t *productId);

// Whether a report descriptor declares report ids (a Report ID item), in
// which case the device sends every report with its id first.
bool descriptorNumbersReports(const std::uint8_t *descriptor, std::size_t size);

// The hidrawN entries of classRoot (normally /sys/class/hidraw) in device
// number order, with their nodes under devRoot. Entries whose ids cannot be
// read are left out.
std::vector<HidrawEntry> listHidrawDevices(const std::string &classRoot, const std::string &devRoot);

// Wraps an open hidraw descriptor (or anything that delivers one report per
// read, such as a datagram socket) and takes ownership of it. When reports
// are not numbered, reads put a 0 report-id byte in front of each. nullptr
// (and the descriptor closed) when the wake-up channel cannot be made.
HidDevice *adoptHidrawDescriptor(int fd, bool numberedReports);

class HidrawServices : public ListDeviceServices {
public:
    HidrawServices(std::string classRoot, std::string devRoot);

    int listCount() override;
    bool listEntry(int index, std::string *path, std::uint16_t *vendorId, std::uint16_t *productId) override;
    HidDevice *openPath(const std::string &path, std::uint32_t *error) override;

private:
    std::string classRoot_;
    std::string devRoot_;
    std::vector<HidrawEntry> entries_;  // as of the last listCount()
    // Paths whose failed open was logged: a device the user may not open is
    // named once while it stays listed, not at every discovery. Discovery's
    // thread only.
    std::set<std::string> reportedPaths_;
};

}  // namespace drovanel

#endif
