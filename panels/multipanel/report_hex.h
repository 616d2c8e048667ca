// Report bytes as "03 05 00 00 00", so that a failed test shows them.
#ifndef DROVANEL_PANELS_MULTIPANEL_REPORT_HEX_H
#define DROVANEL_PANELS_MULTIPANEL_REPORT_HEX_H

#include <cstdint>
#include <cstdio>
#include <string>

namespace drovanel {
namespace multipanel {

inline std::string hex(const std::uint8_t *bytes, std::size_t n) {
    std::string out;
    char cell[4];
    for (std::size_t i = 0; i < n; ++i) {
        std::snprintf(cell, sizeof cell, i + 1 < n ? "%02X " : "%02X", bytes[i]);
        out += cell;
    }
    return out;
}

}  // namespace multipanel
}  // namespace drovanel

#endif
