// Bytes as lower-case hex text, the form reports take on uhid-panels'
// command lines; shared by the guest programs on both sides of that pipe.
#ifndef DROVANEL_TESTS_KERNEL_HEX_TEXT_H
#define DROVANEL_TESTS_KERNEL_HEX_TEXT_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

inline std::string hex(const std::uint8_t *data, std::size_t size) {
    std::string out;
    char two[3];
    for (std::size_t i = 0; i < size; ++i) {
        std::snprintf(two, sizeof two, "%02x", data[i]);
        out += two;
    }
    return out;
}
inline std::string hex(const Bytes &b) { return hex(b.data(), b.size()); }

#endif
