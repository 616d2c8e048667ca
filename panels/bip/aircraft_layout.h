// An aircraft may carry its own BIP layout: a file of this name in the
// aircraft's folder, used in place of the configured one while the aircraft
// is loaded.
#ifndef DROVANEL_PANELS_BIP_AIRCRAFT_LAYOUT_H
#define DROVANEL_PANELS_BIP_AIRCRAFT_LAYOUT_H

#include <cstddef>
#include <string>

namespace drovanel {

constexpr const char *kAircraftLayoutName = "Drovanel.BacklitInformationPanel.xml";

// The buffers XPLMGetNthAircraftModel fills: the .acf file's name and its
// full path.
constexpr std::size_t kAircraftFileNameSize = 256;
constexpr std::size_t kAircraftPathSize = 512;

// The layout file beside the aircraft whose .acf file is at acfPath: its
// folder (up to the last separator) and kAircraftLayoutName. Empty when the
// path names no folder.
std::string layoutBesideAircraft(const char *acfPath, const char *separator);

// The layout file beside the user's aircraft, as the host reports that
// aircraft; empty when it reports none. Simulator thread.
std::string userAircraftLayout();

}  // namespace drovanel

#endif
