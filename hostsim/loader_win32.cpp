// Plug-in files on Windows: LoadLibrary and GetProcAddress, as the
// simulator does. The plug-in's imports from XPLM_64.dll/XPLM.dll resolve to
// this host, which the Windows build names so.
#include <windows.h>

#include <cwchar>
#include <vector>

#include "hostsim/loader_system.h"

namespace hostsim {
namespace detail {

namespace {
std::wstring widePath(const std::string &path) {
    int chars = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
    if (chars <= 0) return std::wstring();
    std::vector<wchar_t> wide(static_cast<std::size_t>(chars));
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide.data(), chars);
    return std::wstring(wide.data());
}

}  // namespace

void *openLibrary(const std::string &file, std::string *error) {
    // The plug-in's own folder is searched for its dependencies, as the
    // simulator arranges for plug-ins.
    HMODULE module = LoadLibraryExW(widePath(file).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (module == nullptr && error != nullptr) {
        *error = "LoadLibrary of " + file + " failed: error " + std::to_string(GetLastError());
    }
    return module;
}

void *librarySymbol(void *library, const char *name) {
    return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void closeLibrary(void *library) { FreeLibrary(static_cast<HMODULE>(library)); }

}  // namespace detail
}  // namespace hostsim
