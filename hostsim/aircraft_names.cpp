// Aircraft add-ons' own names (hostsim/aircraft-names/, compiled in): while
// an add-on is the user's aircraft its datarefs are published with their
// types and writability and its commands are found; otherwise not.
#include <cstring>
#include <map>
#include <sstream>

#include "hostsim/state.h"

namespace hostsim {
namespace detail {

extern const char *const kZibo737Datarefs;
extern const char *const kZibo737Commands;

namespace {

struct Listed {
    const char *folder;
    const char *acfFile;
    // Every command under this is the add-on's own: one it does not list is
    // not found, as in the simulator.
    const char *commandPrefix;
    // Addresses of the generated texts, so that this table is filled at
    // compile time: a copy of their values would be made during dynamic
    // initialisation, perhaps after the host's state (which reads it).
    const char *const *datarefs;
    const char *const *commands;
};
constexpr Listed kListed[] = {
    {"zibo-737", "b738.acf", "laminar/B738/", &kZibo737Datarefs, &kZibo737Commands},
};

std::vector<AircraftNameList> parseAll() {
    std::vector<AircraftNameList> all;
    for (const Listed &listed : kListed) {
        AircraftNameList list;
        list.folder = listed.folder;
        list.acfFile = listed.acfFile;
        std::istringstream datarefs(*listed.datarefs);
        std::string line;
        while (std::getline(datarefs, line)) {
            const std::size_t tab1 = line.find('\t');
            const std::size_t tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
            if (tab2 == std::string::npos) continue;
            const std::string name = line.substr(0, tab1);
            list.datarefs.emplace_back(name, line.substr(tab1 + 1, tab2 - tab1 - 1));
            if (line.compare(tab2 + 1, std::string::npos, "y") == 0) list.writable.push_back(name);
        }
        std::istringstream commands(*listed.commands);
        while (std::getline(commands, line)) {
            if (!line.empty()) list.commands.push_back(line);
        }
        all.push_back(std::move(list));
    }
    return all;
}

// Every add-on command, with the add-on it belongs to.
const std::map<std::string, std::string> &commandOwners() {
    static const auto *owners = [] {
        auto *map = new std::map<std::string, std::string>;
        for (const AircraftNameList &list : aircraftNames()) {
            for (const std::string &command : list.commands) (*map)[command] = list.folder;
        }
        return map;
    }();
    return *owners;
}

bool sameLetters(const std::string &a, const std::string &b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// "array[N]" gives N; anything else 0.
int arraySize(const std::string &type) {
    if (type.compare(0, 6, "array[") != 0) return 0;
    return std::atoi(type.c_str() + 6);
}

}  // namespace

std::string aircraftFolderFor(const std::string &acfPath) {
    const std::size_t slash = acfPath.find_last_of("/\\");
    const std::string file = slash == std::string::npos ? acfPath : acfPath.substr(slash + 1);
    for (const AircraftNameList &list : aircraftNames()) {
        if (sameLetters(file, list.acfFile)) return list.folder;
    }
    return std::string();
}

void unpublishAircraftNames(State &s) {
    for (auto &entry : s.datarefs) {
        if (!entry.second->aircraft.empty()) entry.second->published = false;
    }
    s.publishedAircraft.clear();
}

void registerAircraftDatarefs(State &s) {
    for (const AircraftNameList &list : aircraftNames()) {
        const std::set<std::string> writable(list.writable.begin(), list.writable.end());
        for (const auto &named : list.datarefs) {
            // Strings are not modelled: profiles read numbers only.
            const int size = arraySize(named.second);
            if (named.second != "number" && size <= 0) continue;
            std::unique_ptr<Dataref> &slot = s.datarefs[named.first];
            if (slot) continue;
            slot.reset(&newDataref(named.first));
            slot->aircraft = list.folder;
            slot->type = size > 0 ? DataType::NumberArray : DataType::Number;
            slot->size = size > 0 ? size : 1;
            slot->writable = writable.count(named.first) != 0;
            slot->tablePublished = false;
            slot->published = false;
            clearDatarefValues(*slot);
        }
    }
}

void publishAircraftNamesOf(State &s, const std::string &folder) {
    for (auto &entry : s.datarefs) {
        if (entry.second->aircraft == folder) entry.second->published = true;
    }
    s.publishedAircraft = folder;
}

bool aircraftCommandHidden(State &s, const std::string &name) {
    const auto owner = commandOwners().find(name);
    if (owner != commandOwners().end()) return owner->second != s.publishedAircraft;
    for (const Listed &listed : kListed) {
        if (name.compare(0, std::strlen(listed.commandPrefix), listed.commandPrefix) == 0) return true;
    }
    return false;
}

}  // namespace detail

const std::vector<AircraftNameList> &aircraftNames() {
    static const auto *lists = new std::vector<AircraftNameList>(detail::parseAll());
    return *lists;
}

std::string publishedAircraft() {
    detail::State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    return s.publishedAircraft;
}

void publishAircraftNames() {
    detail::State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    if (s.pendingAircraft.empty()) return;
    detail::publishAircraftNamesOf(s, s.pendingAircraft);
    s.pendingAircraft.clear();
}

void setPluginFile(const std::string &path) {
    detail::State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    s.pluginFile = path;
}

}  // namespace hostsim
