// Which profile the loaded aircraft gets: its own Drovanel.Profile.xml
// beside its .acf file, else a profile shipped in the package's profiles/
// folder whose match holds for it. Chosen at enable and at every aircraft
// load, then looked at again for a few seconds, since an aircraft's own
// plug-in may publish its names a little after the load. Simulator thread.
#ifndef DROVANEL_PANELS_PROFILE_PROFILE_SELECTION_H
#define DROVANEL_PANELS_PROFILE_PROFILE_SELECTION_H

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "profile.h"

namespace drovanel {
namespace profile {

constexpr const char *kAircraftProfileName = "Drovanel.Profile.xml";
constexpr const char *kShippedProfileFolder = "profiles";
// How long after a load the choice and the names are looked at again, and
// how often.
constexpr std::uint32_t kLateWindowMs = 5000;
constexpr std::uint32_t kLatePollMs = 500;

// The profile file beside the aircraft whose .acf file is at acfPath; empty
// when the path names no folder.
std::string profileBesideAircraft(const std::string &acfPath, const std::string &separator);
// The package's profiles folder for the plug-in file at pluginPath
// (<package>/64/lin.xpl gives <package>/profiles/); empty when the path has
// no such folders.
std::string shippedProfileFolder(const std::string &pluginPath, const std::string &separator);
// The .acf file's name compared as the simulator's file systems may differ
// in letter case.
bool sameAircraftFile(const std::string &a, const std::string &b);

class ProfileSelector {
public:
    // Where the shipped profiles are; the plug-in's own folder through the
    // SDK when not set.
    void setShippedFolder(const std::string &folder) { shippedFolder_ = folder; }

    // A new aircraft is the user's (or the plug-in was enabled): chooses
    // afresh. True when the chosen profile changed.
    bool aircraftLoaded(std::uint32_t now);
    // Looks again while the window after the load lasts: binds a shipped
    // profile whose name was published late and resolves late names. When
    // the window closes, each name still unknown is logged once. True when
    // the chosen profile changed.
    bool poll(std::uint32_t now);
    // Forgets the choice (the plug-in is disabled).
    void clear();

    // The profile bound now, or nullptr.
    Profile *current() { return current_.get(); }

private:
    bool choose();
    bool bind(std::unique_ptr<Profile> chosen);
    void logUnknownNames();

    std::string shippedFolder_;
    std::string acfPath_;
    std::string acfFile_;
    bool windowOpen_ = false;
    std::uint32_t windowStart_ = 0;
    std::uint32_t lastPoll_ = 0;
    // The aircraft's own profile was there (bound or refused): the shipped
    // ones are not looked at.
    bool aircraftHasOwn_ = false;
    std::vector<std::unique_ptr<Profile>> shipped_;
    std::unique_ptr<Profile> current_;
    // The profile replaced last, kept until the next change so that the
    // panels can release what they hold of it.
    std::unique_ptr<Profile> retired_;
    std::set<std::string> loggedUnknown_;  // this aircraft's
    std::set<std::string> loggedRefused_;
};

}  // namespace profile
}  // namespace drovanel

#endif
