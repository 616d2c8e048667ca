// The HID backend of DrovanelVirtual.xpl: devices are the host simulator's
// virtual panels, reached through the drovanel_vhid_* functions that the
// loading process provides.
#include <cstring>

#include "device_list.h"
#include "list_device_services.h"

extern "C" {
int drovanel_vhid_count(void);
int drovanel_vhid_info(int index, char *path, int path_size, unsigned short *vendor_id, unsigned short *product_id);
void *drovanel_vhid_open(const char *path);
int drovanel_vhid_read(void *handle, unsigned char *buffer, int size);
void drovanel_vhid_cancel(void *handle);
int drovanel_vhid_set_feature(void *handle, const unsigned char *buffer, int size);
int drovanel_vhid_get_feature(void *handle, unsigned char *buffer, int size);
void drovanel_vhid_close(void *handle);
}

namespace drovanel {

namespace {

constexpr int kPathSize = 256;
// What a refused open reports, as Windows would.
constexpr std::uint32_t kErrorAccessDenied = 5;

// Whether the host lists a device at this path now.
bool listedNow(const std::string &path) {
    int count = drovanel_vhid_count();
    for (int i = 0; i < count; ++i) {
        char buffer[kPathSize] = {};
        if (drovanel_vhid_info(i, buffer, kPathSize, nullptr, nullptr) != 1) return false;
        buffer[kPathSize - 1] = '\0';
        if (path == buffer) return true;
    }
    return false;
}

class VirtualDevice : public HidDevice {
public:
    VirtualDevice(void *handle, const std::string &path) : handle_(handle), path_(path) {}
    ~VirtualDevice() override { drovanel_vhid_close(handle_); }

    int read(std::uint8_t *buffer, int size, const wchar_t *) override {
        int n = drovanel_vhid_read(handle_, buffer, size);
        if (n > 0) return n;
        return n == 0 ? kReadCancelled : kReadFailed;
    }
    void cancel() override { drovanel_vhid_cancel(handle_); }
    bool setFeature(const std::uint8_t *buffer, int size) override {
        if (drovanel_vhid_set_feature(handle_, buffer, size) == 1) return true;
        // A refused write to a device the host no longer lists: unplugged.
        if (!listedNow(path_)) markDisconnected();
        return false;
    }
    bool getFeature(std::uint8_t *buffer, int size) override {
        return drovanel_vhid_get_feature(handle_, buffer, size) == 1;
    }

private:
    void *handle_;
    const std::string path_;  // as opened
};

class VirtualServices : public ListDeviceServices {
public:
    int listCount() override { return drovanel_vhid_count(); }
    bool listEntry(int index, std::string *path, std::uint16_t *vendorId, std::uint16_t *productId) override {
        char buffer[kPathSize] = {};
        unsigned short vendor = 0;
        unsigned short product = 0;
        if (drovanel_vhid_info(index, buffer, kPathSize, &vendor, &product) != 1) return false;
        buffer[kPathSize - 1] = '\0';
        *path = buffer;
        *vendorId = vendor;
        *productId = product;
        return true;
    }
    HidDevice *openPath(const std::string &path, std::uint32_t *error) override {
        return openListedDevice(path, error);
    }
};

}  // namespace

// The virtual list gives no instance: a device the host plugs back in at
// the same path lists exactly as before, as on Windows.
bool listSystemDevices(std::vector<ListedDevice> *out) {
    std::size_t n = 0;
    int count = drovanel_vhid_count();
    for (int i = 0; i < count; ++i) {
        char buffer[kPathSize] = {};
        unsigned short vendor = 0;
        unsigned short product = 0;
        // The list changed between the count and here: this listing fails,
        // and the watch keeps its last one until the next listing.
        if (drovanel_vhid_info(i, buffer, kPathSize, &vendor, &product) != 1) return false;
        buffer[kPathSize - 1] = '\0';
        ListedDevice &entry = listEntryAt(out, n++);
        entry.path.assign(buffer);
        entry.instance.clear();
        entry.vendorId = vendor;
        entry.productId = product;
    }
    out->resize(n);
    return true;
}

HidDevice *openListedDevice(const std::string &path, std::uint32_t *error) {
    void *handle = drovanel_vhid_open(path.c_str());
    if (handle == nullptr) {
        *error = kErrorAccessDenied;
        return nullptr;
    }
    return new VirtualDevice(handle, path);
}

std::string openErrorText(std::uint32_t error) {
    return error == kErrorAccessDenied ? "access denied" : "error " + std::to_string(error);
}

DeviceServices &systemDeviceServices() {
    static VirtualServices services;
    return services;
}

}  // namespace drovanel
