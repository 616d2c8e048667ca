#include "profile_selection.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "XPLMPlanes.h"
#include "XPLMPlugin.h"
#include "XPLMUtilities.h"
#include "bip/aircraft_layout.h"
#include "profile_binding.h"
#include "profile_loader.h"

namespace drovanel {
namespace profile {

namespace {

constexpr std::size_t kPluginInfoSize = 256;

std::string folderOf(const std::string &path, const std::string &separator) {
    const std::size_t last = path.rfind(separator);
    return last == std::string::npos ? std::string() : path.substr(0, last);
}

std::string pluginFile() {
    char path[kPluginInfoSize * 2] = {};
    XPLMGetPluginInfo(XPLMGetMyID(), nullptr, path, nullptr, nullptr);
    path[sizeof path - 1] = '\0';
    return path;
}

void log(const std::string &text) { XPLMDebugString(text.c_str()); }

// Every profile in the folder, in file name order; refused ones are logged
// once (refused holds those logged before). Paths are joined with the
// simulator's separator, as every path it gives the plug-in is.
std::vector<std::unique_ptr<Profile>> readFolder(const std::string &folder, const std::string &separator,
                                                 std::set<std::string> *refused) {
    std::vector<std::unique_ptr<Profile>> profiles;
    std::vector<std::string> files;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::filesystem::path &file = it->path();
        if (file.extension() == ".xml") files.push_back(folder + separator + file.filename().string());
    }
    std::sort(files.begin(), files.end());
    for (const std::string &file : files) {
        auto profile = std::make_unique<Profile>();
        std::vector<Problem> problems;
        if (readProfile(file, profile.get(), &problems)) {
            profiles.push_back(std::move(profile));
        } else if (refused->insert(file).second) {
            log("Drovanel : profile >" + file + "< refused, " + describe(problems.front()) + "\n");
        }
    }
    return profiles;
}

bool published(Match &match) {
    if (!match.dataref.name.empty()) return XPLMFindDataRef(match.dataref.name.c_str()) != nullptr;
    if (!match.command.name.empty()) return XPLMFindCommand(match.command.name.c_str()) != nullptr;
    return false;
}

}  // namespace

std::string profileBesideAircraft(const std::string &acfPath, const std::string &separator) {
    if (separator.empty()) return std::string();
    const std::size_t last = acfPath.rfind(separator);
    if (last == std::string::npos) return std::string();
    return acfPath.substr(0, last + separator.size()) + kAircraftProfileName;
}

std::string shippedProfileFolder(const std::string &pluginPath, const std::string &separator) {
    if (separator.empty()) return std::string();
    const std::string package = folderOf(folderOf(pluginPath, separator), separator);
    if (package.empty()) return std::string();
    return package + separator + kShippedProfileFolder;
}

bool sameAircraftFile(const std::string &a, const std::string &b) {
    if (a.size() != b.size() || a.empty()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

bool ProfileSelector::aircraftLoaded(std::uint32_t now) {
    char fileName[kAircraftFileNameSize] = {};
    char path[kAircraftPathSize] = {};
    XPLMGetNthAircraftModel(0, fileName, path);
    fileName[kAircraftFileNameSize - 1] = '\0';
    path[kAircraftPathSize - 1] = '\0';
    acfPath_ = path;
    acfFile_ = fileName;
    loggedUnknown_.clear();
    windowOpen_ = true;
    windowStart_ = now;
    lastPoll_ = now;

    const std::string separator = XPLMGetDirectorySeparator();
    std::unique_ptr<Profile> own;
    aircraftHasOwn_ = false;
    const std::string ownPath = profileBesideAircraft(acfPath_, separator);
    if (!ownPath.empty()) {
        own = std::make_unique<Profile>();
        std::vector<Problem> problems;
        if (!readProfile(ownPath, own.get(), &problems)) {
            // A file that is not there is no mistake: the shipped ones are tried.
            std::error_code error;
            if (std::filesystem::exists(ownPath, error)) {
                aircraftHasOwn_ = true;
                log("Drovanel : profile >" + ownPath + "< refused, " + describe(problems.front()) + "\n");
            }
            own.reset();
        } else {
            aircraftHasOwn_ = true;
        }
    }
    shipped_.clear();
    if (own) return bind(std::move(own));
    if (!aircraftHasOwn_) {
        std::string folder = shippedFolder_;
        if (folder.empty()) folder = shippedProfileFolder(pluginFile(), separator);
        if (!folder.empty()) shipped_ = readFolder(folder, separator, &loggedRefused_);
    }
    if (choose()) return true;
    return bind(nullptr);
}

bool ProfileSelector::choose() {
    for (auto &candidate : shipped_) {
        if (!sameAircraftFile(candidate->match.acf, acfFile_) || !published(candidate->match)) continue;
        std::unique_ptr<Profile> chosen = std::move(candidate);
        shipped_.clear();
        return bind(std::move(chosen));
    }
    return false;
}

bool ProfileSelector::bind(std::unique_ptr<Profile> chosen) {
    if (!chosen && !current_) return false;
    retired_ = std::move(current_);
    current_ = std::move(chosen);
    if (current_) {
        resolveNames(*current_, [](const char *, bool) {});
        log("Drovanel : profile >" + current_->path + "<\n");
    }
    return true;
}

bool ProfileSelector::poll(std::uint32_t now) {
    if (!windowOpen_ || now - lastPoll_ < kLatePollMs) return false;
    lastPoll_ = now;
    bool changed = false;
    if (!current_ && !shipped_.empty()) changed = choose();
    if (current_) resolveNames(*current_, [](const char *, bool) {});
    if (now - windowStart_ >= kLateWindowMs) {
        windowOpen_ = false;
        shipped_.clear();
        logUnknownNames();
    }
    return changed;
}

void ProfileSelector::logUnknownNames() {
    if (!current_) return;
    resolveNames(*current_, [this](const char *name, bool command) {
        if (!loggedUnknown_.insert(std::string(command ? "c" : "d") + name).second) return;
        log(std::string(command ? "Drovanel : unknown command >" : "Drovanel : unknown dataref >") + name + "<\n");
    });
}

void ProfileSelector::clear() {
    windowOpen_ = false;
    shipped_.clear();
    retired_ = std::move(current_);
    retired_.reset();
}

}  // namespace profile
}  // namespace drovanel
