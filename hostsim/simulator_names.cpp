// Parses the compiled-in name lists and answers the test-side questions
// about them.
#include "hostsim/simulator_names.h"

#include <cstdlib>
#include <sstream>

namespace hostsim {
namespace detail {

namespace {

// "int", "float", "int[8]", "float[16]"; false for double, byte[...] and
// anything else the host does not model.
bool parseType(const std::string &text, ListedDataref *out) {
    const std::size_t bracket = text.find('[');
    const std::string base = text.substr(0, bracket);
    if (base != "int" && base != "float") return false;
    const bool isInt = base == "int";
    if (bracket == std::string::npos) {
        out->type = isInt ? DataType::Int : DataType::Float;
        out->size = 1;
        return true;
    }
    const int size = std::atoi(text.c_str() + bracket + 1);
    if (size <= 0) return false;
    out->type = isInt ? DataType::IntArray : DataType::FloatArray;
    out->size = size;
    return true;
}

SimulatorNames parse(const char *datarefs, const char *commands) {
    SimulatorNames names;
    std::istringstream datarefLines(datarefs);
    std::string line;
    while (std::getline(datarefLines, line)) {
        const std::size_t tab1 = line.find('\t');
        const std::size_t tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
        if (tab2 == std::string::npos) continue;
        ListedDataref listed{};
        listed.modelled = parseType(line.substr(tab1 + 1, tab2 - tab1 - 1), &listed);
        listed.writable = line.compare(tab2 + 1, std::string::npos, "y") == 0;
        names.datarefs[line.substr(0, tab1)] = listed;
    }
    std::istringstream commandLines(commands);
    while (std::getline(commandLines, line)) {
        if (!line.empty()) names.commands.insert(line);
    }
    return names;
}

}  // namespace

const SimulatorNames &simulatorNames(SimulatorVersion version) {
    static const SimulatorNames *const lists = new SimulatorNames[kSimulatorVersionCount]{
        parse(kDatarefs1140, kCommands1140),
        parse(kDatarefs12, kCommands12),
    };
    return lists[version == SimulatorVersion::XPlane1140 ? 0 : 1];
}

bool isSimulatorPath(const std::string &path) { return path.compare(0, 4, "sim/") == 0; }

}  // namespace detail

const char *simulatorVersionName(SimulatorVersion version) {
    return version == SimulatorVersion::XPlane1140 ? "11.40" : "12";
}

bool parseSimulatorVersion(const std::string &text, SimulatorVersion *version) {
    if (text == "11.40") {
        *version = SimulatorVersion::XPlane1140;
        return true;
    }
    if (text == "12") {
        *version = SimulatorVersion::XPlane12;
        return true;
    }
    return false;
}

bool simulatorListsDataref(SimulatorVersion version, const std::string &path) {
    return detail::simulatorNames(version).datarefs.count(path) != 0;
}

bool simulatorListsCommand(SimulatorVersion version, const std::string &path) {
    return detail::simulatorNames(version).commands.count(path) != 0;
}

}  // namespace hostsim
