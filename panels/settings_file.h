// A settings file in the host's preferences folder: opened for reading and
// writing, shared, created empty when missing; transfers from its start.
// Writes never change the file in place: a new file is written beside it
// and renamed over it, so that a crash at any moment leaves either the old
// content or the new, whole.
#ifndef DROVANEL_PANELS_SETTINGS_FILE_H
#define DROVANEL_PANELS_SETTINGS_FILE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace drovanel {

class SettingsFile {
public:
    SettingsFile() = default;
    ~SettingsFile() { close(); }
    SettingsFile(const SettingsFile &) = delete;
    SettingsFile &operator=(const SettingsFile &) = delete;

    // Opens (creating if needed) the file at a narrow path, converted to a
    // wide path in the current locale on Windows, and keeps the path for
    // replace(). False when it cannot.
    bool open(const char *path);
    bool isOpen() const;
    // Reads up to size bytes from the start; -1 when the read fails.
    long readFromStart(std::uint8_t *buffer, std::size_t size);
    // Every byte after the first offset ones (none when the file is
    // shorter). False when the read fails.
    bool readAfter(std::size_t offset, std::vector<std::uint8_t> *rest);
    // Replaces the first size bytes and keeps the bytes after them, through
    // replace(); the file is closed afterwards. size, or -1 when it fails.
    long writeAtStart(const std::uint8_t *buffer, std::size_t size);
    // Makes the file hold head then tail: writes them to a temporary file
    // beside it and renames that over it. Closes the open file first (a
    // file open here could not be replaced on Windows). Needs a path from
    // an earlier open(); allocates nothing. False when the file keeps its
    // old content.
    bool replace(const std::uint8_t *head, std::size_t headSize, const std::uint8_t *tail, std::size_t tailSize);
    // Closes the open file; the path stays for replace().
    void close();

    // The temporary file's path: the file's own with this suffix.
    static constexpr const char *kTemporarySuffix = ".tmp";

private:
#if defined(_WIN32)
    void *handle_ = nullptr;
    std::wstring path_;
    std::wstring temporaryPath_;
#else
    int fd_ = -1;
    std::string path_;
    std::string temporaryPath_;
#endif
};

}  // namespace drovanel

#endif
