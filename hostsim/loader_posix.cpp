// Plug-in files on Linux: dlopen with RTLD_NOW, as the simulator loads them,
// so that any unresolved symbol fails the load.
#include <dlfcn.h>

#include "hostsim/loader_system.h"

namespace hostsim {
namespace detail {

void *openLibrary(const std::string &file, std::string *error) {
    void *handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr && error != nullptr) {
        const char *reason = dlerror();
        *error = "dlopen of " + file + " failed: " + (reason != nullptr ? reason : "unknown error");
    }
    return handle;
}

void *librarySymbol(void *library, const char *name) { return dlsym(library, name); }

void closeLibrary(void *library) { dlclose(library); }

}  // namespace detail
}  // namespace hostsim
