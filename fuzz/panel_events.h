// Drives one panel driver with an arbitrary program read from a fuzz input:
// input reports of 0 to 4 bytes with either flag, time passing, the host's
// datarefs set to any value (NaN and infinities included), aircraft reloads,
// and the refresh thread's report building. The driver has no device, so
// no thread runs and every call happens on this thread.
#ifndef DROVANEL_FUZZ_PANEL_EVENTS_H
#define DROVANEL_FUZZ_PANEL_EVENTS_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "abstract_panel.h"
#include "fuzz_input.h"

namespace drovanel {
namespace fuzz {

struct FuzzDataref {
    std::string path;
    bool isFloat;  // a float or float array; the rest hold ints
};

// The datarefs among paths that the host knows (commands and unknown paths
// dropped), in order, with their type.
std::vector<FuzzDataref> knownDatarefs(const char *const *paths, std::size_t count);

// Removes the panel's settings file so that each input starts alike.
void forgetSettings(const char *panelName);

void runPanelProgram(AbstractPanel &panel, FuzzInput &in, const std::vector<FuzzDataref> &datarefs);

}  // namespace fuzz
}  // namespace drovanel

#endif
