// The plug-in loader on Windows: a built win.xpl opened with LoadLibraryW and
// its five entry points found with GetProcAddress, as the simulator does.
// The plug-in's imports from XPLM_64.dll/XPLM.dll resolve to this host,
// which the Windows build names so.
#include <windows.h>

#include <cstring>
#include <cwchar>
#include <vector>

#include "hostsim/hostsim.h"

namespace hostsim {

namespace {

using StartFn = int (*)(char *, char *, char *);
using EnableFn = int (*)();
using VoidFn = void (*)();
using ReceiveFn = void (*)(int, int, void *);

// The buffers the simulator hands to XPluginStart.
constexpr std::size_t kStartBufferSize = 256;

std::string bufferText(const char *buffer) { return std::string(buffer, strnlen(buffer, kStartBufferSize)); }

std::wstring widePath(const std::string &path) {
    int chars = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
    if (chars <= 0) return std::wstring();
    std::vector<wchar_t> wide(static_cast<std::size_t>(chars));
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide.data(), chars);
    return std::wstring(wide.data());
}

}  // namespace

Plugin::~Plugin() { unload(); }

bool Plugin::load(const std::string &file, std::string *error) {
    unload();
    // The plug-in's own folder is searched for its dependencies, as the
    // simulator arranges for plug-ins.
    HMODULE module = LoadLibraryExW(widePath(file).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (module == nullptr) {
        if (error != nullptr) {
            *error = "LoadLibrary of " + file + " failed: error " + std::to_string(GetLastError());
        }
        return false;
    }
    const char *names[] = {"XPluginStart", "XPluginEnable", "XPluginDisable", "XPluginStop", "XPluginReceiveMessage"};
    void **slots[] = {&start_, &enable_, &disable_, &stop_, &receive_};
    for (std::size_t i = 0; i < 5; ++i) {
        *slots[i] = reinterpret_cast<void *>(GetProcAddress(module, names[i]));
        if (*slots[i] == nullptr) {
            if (error != nullptr) {
                *error = file + " does not export " + names[i];
            }
            FreeLibrary(module);
            start_ = enable_ = disable_ = stop_ = receive_ = nullptr;
            return false;
        }
    }
    handle_ = module;
    return true;
}

int Plugin::start(std::string *name, std::string *signature, std::string *description) {
    if (handle_ == nullptr) {
        return 0;
    }
    char outName[kStartBufferSize] = {};
    char outSig[kStartBufferSize] = {};
    char outDesc[kStartBufferSize] = {};
    int result = reinterpret_cast<StartFn>(start_)(outName, outSig, outDesc);
    if (name != nullptr) *name = bufferText(outName);
    if (signature != nullptr) *signature = bufferText(outSig);
    if (description != nullptr) *description = bufferText(outDesc);
    return result;
}

int Plugin::enable() { return handle_ != nullptr ? reinterpret_cast<EnableFn>(enable_)() : 0; }

void Plugin::disable() {
    if (handle_ != nullptr) {
        reinterpret_cast<VoidFn>(disable_)();
    }
}

void Plugin::stop() {
    if (handle_ != nullptr) {
        reinterpret_cast<VoidFn>(stop_)();
    }
}

void Plugin::sendMessage(const std::string &senderName, int message, void *param) {
    if (handle_ != nullptr) {
        deliverMessage(reinterpret_cast<ReceiveFn>(receive_), senderName, message, param);
    }
}

void Plugin::unload() {
    if (handle_ != nullptr) {
        FreeLibrary(static_cast<HMODULE>(handle_));
    }
    handle_ = start_ = enable_ = disable_ = stop_ = receive_ = nullptr;
}

void deliverMessage(void (*receive)(int, int, void *), const std::string &senderName, int message, void *param) {
    if (receive != nullptr) {
        receive(addPluginIdentity(senderName), message, param);
    }
}

}  // namespace hostsim
