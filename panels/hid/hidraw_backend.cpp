// The HID backend of the Linux plug-in: each panel is a /dev/hidrawN node.
// sysfs names the nodes and their USB ids; reads wait in poll() beside an
// eventfd that cancel() signals, so teardown never has to kill a thread.
#include "hidraw_backend.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include "XPLMUtilities.h"
#include "device_list.h"

namespace drovanel {

namespace {

constexpr char kHidrawPrefix[] = "hidraw";
constexpr char kSysClassHidraw[] = "/sys/class/hidraw";
constexpr char kDevRoot[] = "/dev";
constexpr char kHidIdKey[] = "HID_ID=";

// Report descriptor items: a one-byte prefix (tag in the high nibble, type
// in bits 2-3, data size code in bits 0-1), or 0xFE for a long item followed
// by its data size and tag. Report ID is global item tag 8: 0x84 | size.
constexpr std::uint8_t kLongItemPrefix = 0xFE;
constexpr std::uint8_t kReportIdItemMask = 0xFC;
constexpr std::uint8_t kReportIdItem = 0x84;

// The feature ioctls carry the length in a 14-bit field.
constexpr int kMaxFeatureSize = 0x3FFF;

bool parseHex(const std::string &text, unsigned long *value) {
    if (text.empty() || text.size() > 8) return false;
    for (char c : text) {
        if (std::isxdigit(static_cast<unsigned char>(c)) == 0) return false;
    }
    *value = std::strtoul(text.c_str(), nullptr, 16);
    return true;
}

// The N of "hidrawN", or -1 for other names.
long hidrawNumber(const char *name) {
    std::size_t prefix = sizeof kHidrawPrefix - 1;
    if (std::strncmp(name, kHidrawPrefix, prefix) != 0 || name[prefix] == '\0') return -1;
    long number = 0;
    for (const char *p = name + prefix; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9' || number > 1000000) return -1;
        number = number * 10 + (*p - '0');
    }
    return number;
}

bool readNumbering(int fd) {
    int size = 0;
    if (ioctl(fd, HIDIOCGRDESCSIZE, &size) < 0 || size <= 0) return false;
    hidraw_report_descriptor descriptor{};
    descriptor.size = static_cast<std::uint32_t>(std::min(size, HID_MAX_DESCRIPTOR_SIZE));
    if (ioctl(fd, HIDIOCGRDESC, &descriptor) < 0) return false;
    return descriptorNumbersReports(descriptor.value, descriptor.size);
}

class HidrawDevice : public HidDevice {
public:
    HidrawDevice(int fd, int wake, bool numbered) : fd_(fd), wake_(wake), numbered_(numbered) {}
    ~HidrawDevice() override {
        ::close(fd_);
        ::close(wake_);
    }
    HidrawDevice(const HidrawDevice &) = delete;
    HidrawDevice &operator=(const HidrawDevice &) = delete;

    int read(std::uint8_t *buffer, int size, const wchar_t *) override {
        if (cancelled_.load()) return kReadCancelled;
        // hidraw hands over unnumbered reports without an id: leave room for it.
        std::uint8_t *target = numbered_ ? buffer : buffer + 1;
        int room = numbered_ ? size : size - 1;
        if (buffer == nullptr || room < 1) return kReadFailed;
        for (;;) {
            pollfd fds[2] = {{wake_, POLLIN, 0}, {fd_, POLLIN, 0}};
            if (poll(fds, 2, -1) < 0) {
                if (errno == EINTR) continue;
                return kReadFailed;
            }
            if (cancelled_.load() || fds[0].revents != 0) return kReadCancelled;
            if (fds[1].revents == 0) continue;
            ssize_t n = ::read(fd_, target, static_cast<std::size_t>(room));
            if (n > 0) {
                if (numbered_) return static_cast<int>(n);
                buffer[0] = 0;
                return static_cast<int>(n) + 1;
            }
            bool hungUp = (fds[1].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0;
            if (n < 0 && (errno == EAGAIN || errno == EINTR) && !hungUp) continue;
            // An unplugged panel's node hangs up and reads fail with EIO
            // (a closed stand-in reads 0): the device is gone for good.
            if (hungUp || n == 0 || errno == ENODEV) return kReadCancelled;
            return kReadFailed;
        }
    }

    void cancel() override {
        cancelled_.store(true);
        std::uint64_t one = 1;
        ssize_t written = ::write(wake_, &one, sizeof one);
        (void)written;  // a full counter is already signalled
    }

    bool setFeature(const std::uint8_t *buffer, int size) override {
        if (buffer == nullptr || size < 1 || size > kMaxFeatureSize) return false;
        // The kernel only copies from the buffer; the ioctl is declared read-write.
        if (ioctl(fd_, HIDIOCSFEATURE(size), const_cast<std::uint8_t *>(buffer)) >= 0) return true;
        // An unplugged panel's node answers ENODEV (EIO once it hung up).
        if (errno == ENODEV) markDisconnected();
        return false;
    }

    bool getFeature(std::uint8_t *buffer, int size) override {
        if (buffer == nullptr || size < 1 || size > kMaxFeatureSize) return false;
        return ioctl(fd_, HIDIOCGFEATURE(size), buffer) >= 0;
    }

private:
    int fd_;
    int wake_;
    bool numbered_;
    std::atomic<bool> cancelled_{false};
};

}  // namespace

bool parseHidId(const std::string &uevent, std::uint16_t *vendorId, std::uint16_t *productId) {
    std::istringstream lines(uevent);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.compare(0, sizeof kHidIdKey - 1, kHidIdKey) != 0) continue;
        std::string ids = line.substr(sizeof kHidIdKey - 1);
        std::size_t first = ids.find(':');
        std::size_t second = first == std::string::npos ? first : ids.find(':', first + 1);
        if (second == std::string::npos) return false;
        unsigned long bus = 0;
        unsigned long vendor = 0;
        unsigned long product = 0;
        if (!parseHex(ids.substr(0, first), &bus) || !parseHex(ids.substr(first + 1, second - first - 1), &vendor) ||
            !parseHex(ids.substr(second + 1), &product) || vendor > 0xFFFF || product > 0xFFFF) {
            return false;
        }
        *vendorId = static_cast<std::uint16_t>(vendor);
        *productId = static_cast<std::uint16_t>(product);
        return true;
    }
    return false;
}

bool descriptorNumbersReports(const std::uint8_t *descriptor, std::size_t size) {
    std::size_t i = 0;
    while (i < size) {
        std::uint8_t prefix = descriptor[i];
        if (prefix == kLongItemPrefix) {
            if (i + 1 >= size) return false;
            i += 3 + descriptor[i + 1];
            continue;
        }
        if ((prefix & kReportIdItemMask) == kReportIdItem) return true;
        std::size_t dataSize = prefix & 0x03;
        i += 1 + (dataSize == 3 ? 4 : dataSize);
    }
    return false;
}

std::vector<HidrawEntry> listHidrawDevices(const std::string &classRoot, const std::string &devRoot) {
    std::vector<std::pair<long, HidrawEntry>> found;
    DIR *dir = opendir(classRoot.c_str());
    if (dir == nullptr) return {};
    while (dirent *item = readdir(dir)) {
        long number = hidrawNumber(item->d_name);
        if (number < 0) continue;
        std::ifstream file(classRoot + "/" + item->d_name + "/device/uevent");
        std::stringstream text;
        text << file.rdbuf();
        HidrawEntry entry;
        if (!file || !parseHidId(text.str(), &entry.vendorId, &entry.productId)) continue;
        entry.path = devRoot + "/" + item->d_name;
        char target[PATH_MAX];
        if (realpath((classRoot + "/" + item->d_name + "/device").c_str(), target) != nullptr) {
            const char *slash = std::strrchr(target, '/');
            entry.instance = slash != nullptr ? slash + 1 : target;
        }
        found.emplace_back(number, entry);
    }
    closedir(dir);
    // readdir's order is the file system's; the list goes by device number.
    std::sort(found.begin(), found.end(),
              [](const std::pair<long, HidrawEntry> &a, const std::pair<long, HidrawEntry> &b) {
                  return a.first < b.first;
              });
    std::vector<HidrawEntry> entries;
    for (auto &f : found) entries.push_back(std::move(f.second));
    return entries;
}

HidDevice *adoptHidrawDescriptor(int fd, bool numberedReports) {
    int wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    int flags = wake < 0 ? -1 : fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0) {
        int code = errno;
        ::close(fd);
        if (wake >= 0) ::close(wake);
        errno = code;
        return nullptr;
    }
    return new HidrawDevice(fd, wake, numberedReports);
}

HidrawServices::HidrawServices(std::string classRoot, std::string devRoot)
    : classRoot_(std::move(classRoot)), devRoot_(std::move(devRoot)) {}

int HidrawServices::listCount() {
    entries_ = listHidrawDevices(classRoot_, devRoot_);
    // A device that left the list is named again if it fails on its return.
    for (auto it = reportedPaths_.begin(); it != reportedPaths_.end();) {
        bool listed = std::any_of(entries_.begin(), entries_.end(),
                                  [&](const HidrawEntry &e) { return e.path == *it; });
        it = listed ? std::next(it) : reportedPaths_.erase(it);
    }
    return static_cast<int>(entries_.size());
}

bool HidrawServices::listEntry(int index, std::string *path, std::uint16_t *vendorId, std::uint16_t *productId) {
    if (index < 0 || index >= static_cast<int>(entries_.size())) return false;
    const HidrawEntry &entry = entries_[static_cast<std::size_t>(index)];
    *path = entry.path;
    *vendorId = entry.vendorId;
    *productId = entry.productId;
    return true;
}

HidDevice *HidrawServices::openPath(const std::string &path, std::uint32_t *error) {
    HidDevice *device = openListedDevice(path, error);
    if (device == nullptr && reportedPaths_.insert(path).second) {
        std::string line = "Drovanel : cannot open " + path + ": " + openErrorText(*error) + "\n";
        XPLMDebugString(line.c_str());
    }
    return device;
}

HidDevice *openListedDevice(const std::string &path, std::uint32_t *error) {
    // Non-blocking, so that a poll() that woke without a report never leaves
    // the reader stuck where cancel() cannot reach it.
    int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        *error = static_cast<std::uint32_t>(errno);
        return nullptr;
    }
    bool numbered = readNumbering(fd);
    HidDevice *device = adoptHidrawDescriptor(fd, numbered);
    if (device == nullptr) *error = static_cast<std::uint32_t>(errno);
    return device;
}

std::string openErrorText(std::uint32_t error) { return std::strerror(static_cast<int>(error)); }

bool listSystemDevices(std::vector<ListedDevice> *out) {
    std::size_t n = 0;
    for (HidrawEntry &e : listHidrawDevices(kSysClassHidraw, kDevRoot)) {
        listEntryAt(out, n++) = ListedDevice{std::move(e.path), std::move(e.instance), e.vendorId, e.productId};
    }
    out->resize(n);
    return true;
}

DeviceServices &systemDeviceServices() {
    static HidrawServices services(kSysClassHidraw, kDevRoot);
    return services;
}

}  // namespace drovanel
