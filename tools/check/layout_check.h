// drovanel-bip-check's work: a BIP layout file read by the plug-in's own
// loader and indicator catalogue (against the stand-in host, which answers
// the catalogue's dataref look-ups), turned into what each lens shows and
// every problem with its line.
#ifndef DROVANEL_TOOLS_CHECK_LAYOUT_CHECK_H
#define DROVANEL_TOOLS_CHECK_LAYOUT_CHECK_H

#include <cstdint>
#include <string>
#include <vector>

#include "tools/check/problems.h"
#include "bip/bip_report.h"
#include "bip/lens_colour.h"

namespace hostsim {
namespace bipcheck {

struct LensInfo {
    bool bound = false;  // as the plug-in leaves it after the whole file
    int line = 0;        // of the entry that bound it
    std::string indicator;
    std::string colourText;  // as written
    drovanel::LensColour colour = drovanel::kLensOff;
    std::uint32_t flashOn = 0;  // after the plug-in's limits; 0 0: steady
    std::uint32_t flashOff = 0;
};

using checktool::Problem;

struct LayoutCheck {
    bool readable = false;  // false: the file could not be read at all
    LensInfo lenses[drovanel::kLensCount];
    std::vector<Problem> problems;  // in the order found: by line, mostly
};

// Reads and checks the file. The host must have been reset() on this
// thread (the catalogue resolves datarefs through it).
LayoutCheck checkLayout(const std::string &path);

// The report drovanel-bip-check prints: the lens table, the panel drawn as
// it would look with every indicator on, and the problems.
std::string formatCheck(const std::string &path, const LayoutCheck &check);

// The 24 lenses as the panel lays them out, three rows of eight, each in the
// colour it shows with its indicator on ("R", "G", "A", "-" for dark).
std::string panelDrawing(const LayoutCheck &check);

}  // namespace bipcheck
}  // namespace hostsim

#endif
