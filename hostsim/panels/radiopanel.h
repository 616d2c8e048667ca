// The host's side of a virtual Radio Panel: its datarefs, input reports
// built from named controls, and the display report read back as text.
#ifndef DROVANEL_HOSTSIM_PANELS_RADIOPANEL_H
#define DROVANEL_HOSTSIM_PANELS_RADIOPANEL_H

#include <cstdint>
#include <string>
#include <vector>

namespace hostsim {
namespace radiopanel {

// Selector positions of either row.
enum class Selector { Nav1, Nav2, Com1, Com2, Adf, Dme, Xpdr };

// Momentary controls; OR them together. One encoder notch is one report
// with its bit set.
enum Control : unsigned {
    kNoControl = 0,
    kUpperFineUp = 1u << 0,
    kUpperFineDown = 1u << 1,
    kUpperCoarseUp = 1u << 2,
    kUpperCoarseDown = 1u << 3,
    kLowerFineUp = 1u << 4,
    kLowerFineDown = 1u << 5,
    kLowerCoarseUp = 1u << 6,
    kLowerCoarseDown = 1u << 7,
    kUpperActStby = 1u << 8,
    kLowerActStby = 1u << 9,
};

// The 4-byte input report (report id 0 first) for the selector positions
// and the controls held.
std::vector<std::uint8_t> inputReport(Selector upper, Selector lower, unsigned controls = kNoControl);

constexpr std::size_t kDisplayReportSize = 23;

// The four displays as a person reads them: five characters each, a digit,
// ' ' for a blank position, '?' for a code the panel cannot show; a lit
// decimal point adds '.' after its digit ("123.45").
struct Displays {
    std::string upperActive;
    std::string upperStandby;
    std::string lowerActive;
    std::string lowerStandby;
};
// False when the report is not a 23-byte display report.
bool decodeDisplays(const std::vector<std::uint8_t> &report, Displays *displays);
// "[123.45] [118.00]\n[ 7000] [ 1200]\n", or "" for no display report.
std::string displayText(const std::vector<std::uint8_t> &report);

// The device's latest display report (empty if none yet).
std::vector<std::uint8_t> latestDisplay(int device);

}  // namespace radiopanel
}  // namespace hostsim

#endif
