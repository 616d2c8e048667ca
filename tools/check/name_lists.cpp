#include "tools/check/name_lists.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

namespace checktool {

namespace {

std::vector<std::string> splitTabs(const std::string &line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
        fields.push_back(line.substr(start, tab - start));
    }
    fields.push_back(line.substr(start));
    return fields;
}

// The type words the lists use, with or without a [length].
bool isTypeWord(const std::string &type) {
    const std::string base = type.substr(0, type.find('['));
    for (const char *word : {"int", "float", "double", "byte", "data", "number", "string", "array"}) {
        if (base == word) return true;
    }
    return false;
}

}  // namespace

ListedType parseListedType(const std::string &type) {
    ListedType listed;
    const std::size_t bracket = type.find('[');
    const std::string base = type.substr(0, bracket);
    if (bracket != std::string::npos) listed.elements = std::atoi(type.c_str() + bracket + 1);
    listed.number = base == "int" || base == "float" || base == "double" || base == "number" || base == "array";
    return listed;
}

void addNameList(const std::string &text, NameLists *lists) {
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::vector<std::string> fields = splitTabs(line);
        if (fields.size() >= 2 && fields[0].find('/') != std::string::npos && isTypeWord(fields[1])) {
            lists->datarefs[fields[0]] = fields[1];
            if (fields.size() >= 3 && fields[2] == "y") lists->writable.insert(fields[0]);
            continue;
        }
        // A command: the first word (X-Plane's list follows it with a
        // description); a line without a path, such as a header, is none.
        std::istringstream words(line);
        std::string name;
        if (words >> name && name.find('/') != std::string::npos) lists->commands.insert(name);
    }
}

bool readNameList(const std::string &path, NameLists *lists, std::string *error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        *error = "cannot be read";
        return false;
    }
    std::ostringstream text;
    text << file.rdbuf();
    addNameList(text.str(), lists);
    ++lists->files;
    return true;
}

}  // namespace checktool
