// The system's shared-library calls behind the plug-in loader: one file per
// platform (loader_posix.cpp, loader_win32.cpp).
#ifndef DROVANEL_HOSTSIM_LOADER_SYSTEM_H
#define DROVANEL_HOSTSIM_LOADER_SYSTEM_H

#include <string>

namespace hostsim {
namespace detail {

// Opens a plug-in file as the simulator does; nullptr and a reason on failure.
void *openLibrary(const std::string &file, std::string *error);
void *librarySymbol(void *library, const char *name);
void closeLibrary(void *library);

}  // namespace detail
}  // namespace hostsim

#endif
