#include "settings_file.h"

#if defined(_WIN32)
#include <windows.h>

#include <cstdlib>
#include <vector>
#else
#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace drovanel {

#if defined(_WIN32)

bool SettingsFile::open(const char *path) {
    close();
    wchar_t wide[1024];
    std::size_t converted = std::mbstowcs(wide, path, 1023);
    if (converted == static_cast<std::size_t>(-1)) return false;
    wide[converted < 1023 ? converted : 1023] = L'\0';
    HANDLE h = CreateFileW(wide, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    handle_ = h;
    return true;
}

bool SettingsFile::isOpen() const { return handle_ != nullptr; }

long SettingsFile::readFromStart(std::uint8_t *buffer, std::size_t size) {
    if (!isOpen()) return -1;
    SetFilePointer(handle_, 0, nullptr, FILE_BEGIN);
    DWORD got = 0;
    if (!ReadFile(handle_, buffer, static_cast<DWORD>(size), &got, nullptr)) return -1;
    return static_cast<long>(got);
}

long SettingsFile::writeAtStart(const std::uint8_t *buffer, std::size_t size) {
    if (!isOpen()) return -1;
    SetFilePointer(handle_, 0, nullptr, FILE_BEGIN);
    DWORD put = 0;
    if (!WriteFile(handle_, buffer, static_cast<DWORD>(size), &put, nullptr)) return -1;
    return static_cast<long>(put);
}

void SettingsFile::close() {
    if (handle_ != nullptr) {
        CloseHandle(handle_);
        handle_ = nullptr;
    }
}

#else

bool SettingsFile::open(const char *path) {
    close();
    fd_ = ::open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    return fd_ >= 0;
}

bool SettingsFile::isOpen() const { return fd_ >= 0; }

long SettingsFile::readFromStart(std::uint8_t *buffer, std::size_t size) {
    if (!isOpen()) return -1;
    std::size_t total = 0;
    while (total < size) {
        ssize_t got = ::pread(fd_, buffer + total, size - total, static_cast<off_t>(total));
        if (got < 0) return -1;
        if (got == 0) break;
        total += static_cast<std::size_t>(got);
    }
    return static_cast<long>(total);
}

long SettingsFile::writeAtStart(const std::uint8_t *buffer, std::size_t size) {
    if (!isOpen()) return -1;
    std::size_t total = 0;
    while (total < size) {
        ssize_t put = ::pwrite(fd_, buffer + total, size - total, static_cast<off_t>(total));
        if (put <= 0) return total > 0 ? static_cast<long>(total) : -1;
        total += static_cast<std::size_t>(put);
    }
    return static_cast<long>(total);
}

void SettingsFile::close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

#endif

}  // namespace drovanel
