#include "aircraft_layout.h"

#include "XPLMPlanes.h"
#include "XPLMUtilities.h"

namespace drovanel {

std::string layoutBesideAircraft(const char *acfPath, const char *separator) {
    if (acfPath == nullptr || separator == nullptr || *separator == '\0') return std::string();
    std::string path = acfPath;
    std::size_t last = path.rfind(separator);
    if (last == std::string::npos) return std::string();
    path.erase(last + std::char_traits<char>::length(separator));
    return path + kAircraftLayoutName;
}

std::string userAircraftLayout() {
    char fileName[kAircraftFileNameSize] = {};
    char path[kAircraftPathSize] = {};
    XPLMGetNthAircraftModel(0, fileName, path);
    // A path that fills the buffer may come without its terminator.
    path[kAircraftPathSize - 1] = '\0';
    return layoutBesideAircraft(path, XPLMGetDirectorySeparator());
}

}  // namespace drovanel
