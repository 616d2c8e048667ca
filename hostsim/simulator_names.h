// The simulator's own lists of published names (hostsim/xplane-names/,
// compiled in), parsed once: which `sim/` datarefs and commands each
// modelled version publishes, with the datarefs' types and writability.
#ifndef DROVANEL_HOSTSIM_SIMULATOR_NAMES_H
#define DROVANEL_HOSTSIM_SIMULATOR_NAMES_H

#include <functional>
#include <map>
#include <set>
#include <string>

#include "hostsim/hostsim.h"

namespace hostsim {
namespace detail {

// The list files' text, generated from hostsim/xplane-names/.
extern const char *const kDatarefs1140;
extern const char *const kDatarefs12;
extern const char *const kCommands1140;
extern const char *const kCommands12;

constexpr int kSimulatorVersionCount = 2;

struct ListedDataref {
    // The host models int, float and their arrays; the lists' double and
    // byte datarefs are listed but not published here (nothing uses them).
    bool modelled;
    DataType type;
    int size;
    bool writable;
};

struct SimulatorNames {
    std::map<std::string, ListedDataref> datarefs;
    std::set<std::string, std::less<>> commands;
};

// The lists of one version, parsed on first use.
const SimulatorNames &simulatorNames(SimulatorVersion version);

// Whether the path is one of the simulator's own (it is published only
// when the modelled version lists it).
bool isSimulatorPath(const std::string &path);

}  // namespace detail
}  // namespace hostsim

#endif
