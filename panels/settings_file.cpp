#include "settings_file.h"

#if defined(_WIN32)
#include <windows.h>

#include <cstdlib>
#else
#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstdio>
#endif

namespace drovanel {

namespace {
// Reads are taken in pieces of this size when the length is not known.
constexpr std::size_t kReadPiece = 4096;
}  // namespace

long SettingsFile::writeAtStart(const std::uint8_t *buffer, std::size_t size) {
    if (!isOpen()) return -1;
    std::vector<std::uint8_t> rest;
    if (!readAfter(size, &rest)) return -1;
    return replace(buffer, size, rest.data(), rest.size()) ? static_cast<long>(size) : -1;
}

#if defined(_WIN32)

namespace {

bool toWide(const char *path, std::wstring *wide) {
    wchar_t buffer[1024];
    std::size_t converted = std::mbstowcs(buffer, path, 1023);
    if (converted == static_cast<std::size_t>(-1)) return false;
    buffer[converted < 1023 ? converted : 1023] = L'\0';
    *wide = buffer;
    return true;
}

bool writeAll(HANDLE h, const std::uint8_t *bytes, std::size_t size) {
    while (size > 0) {
        DWORD put = 0;
        if (!WriteFile(h, bytes, static_cast<DWORD>(size), &put, nullptr) || put == 0) return false;
        bytes += put;
        size -= put;
    }
    return true;
}

}  // namespace

bool SettingsFile::open(const char *path) {
    close();
    std::wstring wide;
    std::wstring temporary;
    if (!toWide(path, &wide) || !toWide((std::string(path) + kTemporarySuffix).c_str(), &temporary)) return false;
    HANDLE h = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    handle_ = h;
    path_ = wide;
    temporaryPath_ = temporary;
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

bool SettingsFile::readAfter(std::size_t offset, std::vector<std::uint8_t> *rest) {
    rest->clear();
    if (!isOpen()) return false;
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(handle_, at, nullptr, FILE_BEGIN)) return false;
    std::uint8_t piece[kReadPiece];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(handle_, piece, static_cast<DWORD>(sizeof piece), &got, nullptr)) return false;
        if (got == 0) return true;
        rest->insert(rest->end(), piece, piece + got);
    }
}

bool SettingsFile::replace(const std::uint8_t *head, std::size_t headSize, const std::uint8_t *tail,
                           std::size_t tailSize) {
    close();
    if (path_.empty()) return false;
    HANDLE h = CreateFileW(temporaryPath_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool written = writeAll(h, head, headSize) && writeAll(h, tail, tailSize);
    if (!CloseHandle(h)) written = false;
    if (written && MoveFileExW(temporaryPath_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    DeleteFileW(temporaryPath_.c_str());
    return false;
}

void SettingsFile::close() {
    if (handle_ != nullptr) {
        CloseHandle(handle_);
        handle_ = nullptr;
    }
}

#else

namespace {

bool writeAll(int fd, const std::uint8_t *bytes, std::size_t size) {
    while (size > 0) {
        ssize_t put = ::write(fd, bytes, size);
        if (put <= 0) return false;
        bytes += put;
        size -= static_cast<std::size_t>(put);
    }
    return true;
}

}  // namespace

bool SettingsFile::open(const char *path) {
    close();
    fd_ = ::open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) return false;
    path_ = path;
    temporaryPath_ = path_ + kTemporarySuffix;
    return true;
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

bool SettingsFile::readAfter(std::size_t offset, std::vector<std::uint8_t> *rest) {
    rest->clear();
    if (!isOpen()) return false;
    std::uint8_t piece[kReadPiece];
    for (;;) {
        ssize_t got = ::pread(fd_, piece, sizeof piece, static_cast<off_t>(offset + rest->size()));
        if (got < 0) return false;
        if (got == 0) return true;
        rest->insert(rest->end(), piece, piece + got);
    }
}

bool SettingsFile::replace(const std::uint8_t *head, std::size_t headSize, const std::uint8_t *tail,
                           std::size_t tailSize) {
    close();
    if (path_.empty()) return false;
    int fd = ::open(temporaryPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool written = writeAll(fd, head, headSize) && writeAll(fd, tail, tailSize);
    if (::close(fd) != 0) written = false;
    // rename() replaces the old file in one step: it is never seen torn.
    if (written && std::rename(temporaryPath_.c_str(), path_.c_str()) == 0) return true;
    ::unlink(temporaryPath_.c_str());
    return false;
}

void SettingsFile::close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

#endif

}  // namespace drovanel
