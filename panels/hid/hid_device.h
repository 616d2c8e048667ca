// The one HID interface that drivers and discovery use. Each backend
// (win32, hidraw, virtual) implements it in its own file; the build picks one.
#ifndef DROVANEL_PANELS_HID_HID_DEVICE_H
#define DROVANEL_PANELS_HID_HID_DEVICE_H

#include <atomic>
#include <cstdint>

namespace drovanel {

// An open panel. Deleting it closes the device.
class HidDevice {
public:
    virtual ~HidDevice() = default;

    // Blocks until one input report arrives and copies it into buffer with
    // the report-id byte first (0 for the panels, which number no input).
    // Returns the byte count, kReadCancelled once cancel() was called or the
    // device is gone for good, or kReadFailed for a read that failed.
    // eventName names the wait object on Windows; other backends ignore it.
    virtual int read(std::uint8_t *buffer, int size, const wchar_t *eventName) = 0;

    // Wakes a blocked read; every later read returns kReadCancelled at once.
    // Safe to call from any thread.
    virtual void cancel() = 0;

    // Feature reports; buffer[0] is the report id and size includes it.
    virtual bool setFeature(const std::uint8_t *buffer, int size) = 0;
    virtual bool getFeature(std::uint8_t *buffer, int size) = 0;

    // Whether a write found the device unplugged for good (Windows'
    // "device not connected", Linux's ENODEV): a panel without a reader
    // learns this way that its device went. Any thread.
    bool disconnected() const { return disconnected_.load(std::memory_order_relaxed); }

    static constexpr int kReadCancelled = 0;
    static constexpr int kReadFailed = -1;

protected:
    void markDisconnected() { disconnected_.store(true, std::memory_order_relaxed); }

private:
    std::atomic<bool> disconnected_{false};
};

}  // namespace drovanel

#endif
