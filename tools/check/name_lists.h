// The lists of names a simulator or an aircraft publishes, read for the
// checker: X-Plane's own DataRefs.txt and Commands.txt (Resources/plugins),
// or an aircraft's lists (a dataref a line with its type and y/n writable,
// a command a line).
#ifndef DROVANEL_TOOLS_CHECK_NAME_LISTS_H
#define DROVANEL_TOOLS_CHECK_NAME_LISTS_H

#include <map>
#include <set>
#include <string>

namespace checktool {

struct NameLists {
    std::map<std::string, std::string> datarefs;  // name -> type as listed ("int", "float[8]", "number", ...)
    std::set<std::string> writable;
    std::set<std::string> commands;
    int files = 0;
};

// Adds the names of one list file; false and why when it cannot be read.
bool readNameList(const std::string &path, NameLists *lists, std::string *error);
// Adds the names of a list's text (tests).
void addNameList(const std::string &text, NameLists *lists);

// What a listed type means for a profile: a number to read (an array has
// elements), or bytes.
struct ListedType {
    bool number = false;  // int, float, double, an add-on's number
    int elements = 0;     // 0: a scalar; else the array's length
};
ListedType parseListedType(const std::string &type);

}  // namespace checktool

#endif
