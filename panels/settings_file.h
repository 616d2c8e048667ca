// A settings file in the host's preferences folder: opened for reading and
// writing, shared, created empty when missing; transfers from its start.
#ifndef DROVANEL_PANELS_SETTINGS_FILE_H
#define DROVANEL_PANELS_SETTINGS_FILE_H

#include <cstddef>
#include <cstdint>

namespace drovanel {

class SettingsFile {
public:
    SettingsFile() = default;
    ~SettingsFile() { close(); }
    SettingsFile(const SettingsFile &) = delete;
    SettingsFile &operator=(const SettingsFile &) = delete;

    // Opens (creating if needed) the file at a narrow path, converted to a
    // wide path in the current locale on Windows. False when it cannot.
    bool open(const char *path);
    bool isOpen() const;
    // Reads up to size bytes from the start; -1 when the read fails.
    long readFromStart(std::uint8_t *buffer, std::size_t size);
    // Writes size bytes at the start; -1 when the write fails.
    long writeAtStart(const std::uint8_t *buffer, std::size_t size);
    void close();

private:
#if defined(_WIN32)
    void *handle_ = nullptr;
#else
    int fd_ = -1;
#endif
};

}  // namespace drovanel

#endif
