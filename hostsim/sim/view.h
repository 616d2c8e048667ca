// The virtual cockpit drawn as text: what every attached panel shows, read
// back from the feature reports the plug-in wrote. Rendering is a pure
// function of a snapshot, so it is the same on a terminal and in a log.
#ifndef DROVANEL_HOSTSIM_SIM_VIEW_H
#define DROVANEL_HOSTSIM_SIM_VIEW_H

#include <cstdint>
#include <string>
#include <vector>

namespace hostsim {
namespace sim {

enum class PanelKind { Multi, Radio, Switch, Bip };

struct PanelSnapshot {
    std::string name;  // the scenario's name for it: multi, radio1, ...
    PanelKind kind = PanelKind::Multi;
    bool attached = true;
    // The latest report of each kind the panel received; empty if none yet.
    std::vector<std::uint8_t> display;     // Multi 13 bytes, Radio 23, Switch 2, BIP lamps 7
    std::vector<std::uint8_t> brightness;  // BIP only, 2 bytes
};

struct Snapshot {
    std::string progress;  // "step 12/40, line 33: multi turn up 3"
    std::string note;      // the scenario's latest commentary
    std::vector<PanelSnapshot> panels;
    std::vector<std::string> log;  // the latest lines of the host's log
    long switchReportsSent = -1;   // the Switch Panel's own count on stdout, -1 unknown
};

// The frame as lines of text; colour adds ANSI colours (lit lamps, lenses).
std::vector<std::string> renderLines(const Snapshot &snapshot, bool colour);

// The frame for a log ("--plain") or for redrawing a terminal in place.
std::string plainFrame(const Snapshot &snapshot);
std::string terminalFrame(const Snapshot &snapshot);

}  // namespace sim
}  // namespace hostsim

#endif
