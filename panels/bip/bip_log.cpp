#include "bip_log.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "XPLMUtilities.h"

namespace drovanel {

void bipLog(const char *format, ...) {
    char line[512];
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    int length = std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (length >= static_cast<int>(sizeof line)) {
        // Only lines quoting configuration text get this long; they are
        // logged while a configuration loads, where allocating is fine.
        std::string longLine(static_cast<std::size_t>(length) + 1, '\0');
        std::vsnprintf(&longLine[0], longLine.size(), format, again);
        XPLMDebugString(longLine.c_str());
    } else if (length >= 0) {
        XPLMDebugString(line);
    }
    va_end(again);
}

}  // namespace drovanel
