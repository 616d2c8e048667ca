// The plug-in loader: a built plug-in file opened as the simulator opens one,
// and messages delivered as the simulator delivers them.
#include <cstring>

#include "hostsim/hostsim.h"
#include "hostsim/loader_system.h"

namespace hostsim {

namespace {

using StartFn = int (*)(char *, char *, char *);
using EnableFn = int (*)();
using VoidFn = void (*)();
using ReceiveFn = void (*)(int, int, void *);

// The buffers the simulator hands to XPluginStart.
constexpr std::size_t kStartBufferSize = 256;

std::string bufferText(const char *buffer) { return std::string(buffer, strnlen(buffer, kStartBufferSize)); }

}  // namespace

Plugin::~Plugin() { unload(); }

bool Plugin::load(const std::string &file, std::string *error) {
    unload();
    void *handle = detail::openLibrary(file, error);
    if (handle == nullptr) return false;
    const char *names[] = {"XPluginStart", "XPluginEnable", "XPluginDisable", "XPluginStop", "XPluginReceiveMessage"};
    void **slots[] = {&start_, &enable_, &disable_, &stop_, &receive_};
    for (std::size_t i = 0; i < 5; ++i) {
        *slots[i] = detail::librarySymbol(handle, names[i]);
        if (*slots[i] == nullptr) {
            if (error != nullptr) {
                *error = file + " does not export " + names[i];
            }
            detail::closeLibrary(handle);
            start_ = enable_ = disable_ = stop_ = receive_ = nullptr;
            return false;
        }
    }
    handle_ = handle;
    return true;
}

int Plugin::start(std::string *name, std::string *signature, std::string *description) {
    if (handle_ == nullptr) {
        return 0;
    }
    char outName[kStartBufferSize] = {};
    char outSig[kStartBufferSize] = {};
    char outDesc[kStartBufferSize] = {};
    int result = 0;
    {
        TimedCall timed(CallKind::Start);
        result = reinterpret_cast<StartFn>(start_)(outName, outSig, outDesc);
    }
    if (name != nullptr) *name = bufferText(outName);
    if (signature != nullptr) *signature = bufferText(outSig);
    if (description != nullptr) *description = bufferText(outDesc);
    return result;
}

int Plugin::enable() {
    if (handle_ == nullptr) return 0;
    TimedCall timed(CallKind::Enable);
    return reinterpret_cast<EnableFn>(enable_)();
}

void Plugin::disable() {
    if (handle_ != nullptr) {
        TimedCall timed(CallKind::Disable);
        reinterpret_cast<VoidFn>(disable_)();
    }
}

void Plugin::stop() {
    if (handle_ != nullptr) {
        TimedCall timed(CallKind::Stop);
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
        detail::closeLibrary(handle_);
    }
    handle_ = start_ = enable_ = disable_ = stop_ = receive_ = nullptr;
}

void deliverMessage(void (*receive)(int, int, void *), const std::string &senderName, int message, void *param) {
    if (receive != nullptr) {
        const int sender = addPluginIdentity(senderName);
        TimedCall timed(CallKind::Message);
        receive(sender, message, param);
    }
}

}  // namespace hostsim
