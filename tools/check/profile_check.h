// drovanel-check's work on an aircraft profile: the file read by the
// plug-in's own loader, then, given lists of published names, each name the
// lists lack and each whose type does not fit its use, with its line.
#ifndef DROVANEL_TOOLS_CHECK_PROFILE_CHECK_H
#define DROVANEL_TOOLS_CHECK_PROFILE_CHECK_H

#include <string>
#include <vector>

#include "tools/check/problems.h"
#include "tools/check/name_lists.h"

namespace checktool {


struct ProfileCheck {
    bool loaded = false;  // the plug-in would take it
    std::string name;
    std::string acf;
    std::string matchName;
    int names = 0;          // names the profile uses
    bool namesChecked = false;
    std::vector<Problem> problems;  // by line
};

// Whether the file's root element is a profile's (otherwise it is taken
// for a BIP layout).
bool isProfileFile(const std::string &path);

// lists may be null: the names are then not checked.
ProfileCheck checkProfile(const std::string &path, const NameLists *lists);

std::string formatProfileCheck(const std::string &path, const ProfileCheck &check);

}  // namespace checktool

#endif
