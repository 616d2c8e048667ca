// Device paths as keys for comparing, and the ids a Windows path carries.
#include "hid/device_list.h"

namespace drovanel {

namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

char keyChar(const std::string &path, std::size_t i) {
    // "\??\" reads as "\\?\".
    if (i == 1 && path.compare(0, 4, "\\??\\") == 0) return '\\';
    return lower(path[i]);
}

}  // namespace

std::string devicePathKey(const std::string &path) {
    std::string key(path.size(), '\0');
    for (std::size_t i = 0; i < path.size(); ++i) key[i] = keyChar(path, i);
    return key;
}

bool samePathKey(const std::string &a, const std::string &b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (keyChar(a, i) != keyChar(b, i)) return false;
    }
    return true;
}

std::string devicePathKey(const wchar_t *path) {
    std::string narrow;
    for (; path != nullptr && *path != L'\0'; ++path) narrow += static_cast<char>(*path);
    return devicePathKey(narrow);
}

namespace {

// Four hexadecimal digits at text[at]; false when they are not there.
bool hex4(const std::string &text, std::size_t at, std::uint16_t *value) {
    if (at + 4 > text.size()) return false;
    unsigned v = 0;
    for (std::size_t i = at; i < at + 4; ++i) {
        char c = text[i];
        unsigned digit = c >= '0' && c <= '9' ? static_cast<unsigned>(c - '0')
                         : c >= 'a' && c <= 'f' ? static_cast<unsigned>(c - 'a' + 10)
                                                : 16u;
        if (digit == 16u) return false;
        v = v * 16 + digit;
    }
    *value = static_cast<std::uint16_t>(v);
    return true;
}

}  // namespace

bool idsFromDevicePath(const std::string &path, std::uint16_t *vendorId, std::uint16_t *productId) {
    const std::string key = devicePathKey(path);
    std::size_t vid = key.find("vid_");
    std::size_t pid = key.find("pid_");
    if (vid == std::string::npos || pid == std::string::npos) return false;
    return hex4(key, vid + 4, vendorId) && hex4(key, pid + 4, productId);
}

}  // namespace drovanel
