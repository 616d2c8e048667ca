// Plug-in identities (message senders), the preferences folder and the
// path functions of the SDK.
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#if defined(_WIN32)
#include <process.h>
#endif

#include "XPLMPlugin.h"
#include "XPLMUtilities.h"
#include "hostsim/state.h"

namespace hostsim {
namespace detail {

namespace {

// The name every buffer size of XPLMGetPluginInfo is given as.
constexpr std::size_t kInfoBufferSize = 256;
// XPLMGetPrefsPath's buffer, as the SDK documents it.
constexpr std::size_t kPathBufferSize = 512;

#if defined(_WIN32)
// No mkdtemp on Windows: a name unique to this process and call, made with
// create_directory, which fails when the folder already exists.
void makeTempFolder(State &s) {
    static unsigned counter = 0;
    std::error_code ec;
    std::filesystem::path base = std::filesystem::temp_directory_path(ec);
    for (int attempt = 0; attempt < 100 && !ec; ++attempt) {
        std::filesystem::path candidate =
            base / ("hostsim-prefs-" + std::to_string(_getpid()) + "-" + std::to_string(counter++));
        if (std::filesystem::create_directory(candidate, ec)) {
            s.tempPrefsFolder = candidate.string();
            return;
        }
    }
    s.tempPrefsFolder.clear();
}
#else
void makeTempFolder(State &s) {
    const char *tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/hostsim-prefs-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (mkdtemp(name.data()) != nullptr) {
        s.tempPrefsFolder = name.data();
    } else {
        s.tempPrefsFolder.clear();
    }
}
#endif

void ensurePrefsFolder(State &s) {
    if (!s.prefsFolder.empty()) {
        return;
    }
    if (!s.chosenPrefsFolder.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(s.chosenPrefsFolder, ec);
        s.prefsFolder = s.chosenPrefsFolder;
        return;
    }
    makeTempFolder(s);
    s.prefsFolder = s.tempPrefsFolder;
}

// Removes the host's own temporary folder when the process ends.
struct TempFolderCleaner {
    ~TempFolderCleaner() {
        State &s = state();
        std::lock_guard<std::mutex> lock(s.mu);
        removeTempFolder(s);
    }
} tempFolderCleaner;

}  // namespace

void removeTempFolder(State &s) {
    if (!s.tempPrefsFolder.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(s.tempPrefsFolder, ec);
        s.tempPrefsFolder.clear();
    }
}

// A folder the test chose is used as it is: the host never deletes files it
// did not make.
void resetPrefsFolder(State &s) {
    removeTempFolder(s);
    s.prefsFolder.clear();
    ensurePrefsFolder(s);
}

}  // namespace detail

using detail::State;

int addPluginIdentity(const std::string &name) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    for (std::size_t id = 0; id < s.pluginNames.size(); ++id) {
        if (s.pluginNames[id] == name) {
            return static_cast<int>(id);
        }
    }
    s.pluginNames.push_back(name);
    return static_cast<int>(s.pluginNames.size() - 1);
}

void setPrefsFolder(const std::string &folder) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    s.chosenPrefsFolder = folder;
    detail::resetPrefsFolder(s);
    detail::resetAircraft(s);
}

std::string prefsFolder() {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    detail::ensurePrefsFolder(s);
    return s.prefsFolder;
}

std::string prefsFile(const std::string &fileName) { return prefsFolder() + "/" + fileName; }

}  // namespace hostsim

using hostsim::detail::SdkCall;

extern "C" {

// The plug-in under test is known as this.
constexpr const char *kOwnName = "Drovanel";

XPLMPluginID XPLMGetMyID(void) {
    SdkCall call("XPLMGetMyID");
    std::vector<std::string> &names = call.s.pluginNames;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == kOwnName) return static_cast<XPLMPluginID>(i);
    }
    names.push_back(kOwnName);
    return static_cast<XPLMPluginID>(names.size() - 1);
}

void XPLMGetPluginInfo(XPLMPluginID inPlugin, char *outName, char *outFilePath, char *outSignature,
                       char *outDescription) {
    SdkCall call("XPLMGetPluginInfo");
    std::string name;
    if (inPlugin >= 0 && static_cast<std::size_t>(inPlugin) < call.s.pluginNames.size()) {
        name = call.s.pluginNames[inPlugin];
    }
    using hostsim::detail::copyText;
    using hostsim::detail::kInfoBufferSize;
    copyText(name, outName, kInfoBufferSize);
    std::string file = name.empty() ? "" : "hostsim/" + name;
    if (name == kOwnName && !call.s.pluginFile.empty()) file = call.s.pluginFile;
    copyText(file, outFilePath, kInfoBufferSize);
    copyText(name.empty() ? "" : "hostsim." + name, outSignature, kInfoBufferSize);
    copyText(name, outDescription, kInfoBufferSize);
}

void XPLMGetPrefsPath(char *outPrefsPath) {
    SdkCall call("XPLMGetPrefsPath");
    hostsim::detail::ensurePrefsFolder(call.s);
    hostsim::detail::copyText(call.s.prefsFolder + "/X-Plane.prf", outPrefsPath,
                              hostsim::detail::kPathBufferSize);
}

const char *XPLMGetDirectorySeparator(void) {
    SdkCall call("XPLMGetDirectorySeparator");
    return "/";
}

// Cuts the buffer at its last separator: the buffer keeps the folder and the
// result points at the file name. Without a separator the buffer is left
// whole and the result points at it.
char *XPLMExtractFileAndPath(char *inFullPath) {
    SdkCall call("XPLMExtractFileAndPath");
    if (inFullPath == nullptr) {
        return nullptr;
    }
    char *last = std::strrchr(inFullPath, '/');
    if (last == nullptr) {
        return inFullPath;
    }
    *last = '\0';
    return last + 1;
}

}  // extern "C"
