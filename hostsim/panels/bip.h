// The host's side of a Backlit Information Panel: the datarefs its lenses
// watch, and its two feature reports read back in human terms.
#ifndef DROVANEL_HOSTSIM_PANELS_BIP_H
#define DROVANEL_HOSTSIM_PANELS_BIP_H

#include <cstdint>
#include <string>
#include <vector>

namespace hostsim {
namespace bip {

constexpr int kLensCount = 24;

// The 24 lens colours of a 7-byte lamp report, lens 0 first: "R" red, "G"
// green, "A" amber (both elements), "-" dark. Empty for any other report.
std::vector<std::string> lensColours(const std::vector<std::uint8_t> &lampReport);

// The panel as text: three rows of eight lenses, e.g.
// "- - - - - R - -\n- - - - - - - -\n- - - - - - - -\n"; "no lamp report"
// for anything but a lamp report.
std::string lensText(const std::vector<std::uint8_t> &lampReport);

// Brightness in percent from a 2-byte brightness report; -1 otherwise.
int brightness(const std::vector<std::uint8_t> &brightnessReport);

}  // namespace bip
}  // namespace hostsim

#endif
