// The Windows HID backend's device, exposed for its tests: any handle opened
// with FILE_FLAG_OVERLAPPED (a panel, or a named pipe standing in for one)
// becomes a HidDevice that owns and finally closes it.
#ifndef DROVANEL_PANELS_HID_WIN32_DEVICE_H
#define DROVANEL_PANELS_HID_WIN32_DEVICE_H

#include "hid_device.h"

namespace drovanel {

// handle is a Windows HANDLE; the device takes ownership.
HidDevice *adoptWin32Handle(void *handle);

// Whether a failed read's system error code says the device is gone for
// good (unplugged): its reads then return kReadCancelled, so that the
// panel's reader stops instead of retrying a device that will not return.
bool readErrorMeansGone(unsigned long error);
// Whether a failed write's system error code says the same: the device
// then counts as disconnected.
bool writeErrorMeansGone(unsigned long error);

}  // namespace drovanel

#endif
