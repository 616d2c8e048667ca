// The x737 aircraft plug-in as far as the Multi Panel sees it: datarefs
// under "x737/systems/" that exist only once the plug-in has loaded, and the
// plug-in's identity for its announcement message.
#ifndef DROVANEL_HOSTSIM_PANELS_X737_H
#define DROVANEL_HOSTSIM_PANELS_X737_H

#include <string>

namespace hostsim {
namespace x737 {

constexpr const char *kPluginName = "x737plugin";
constexpr int kAnnounceMessage = static_cast<int>(0x88888880u);
constexpr const char *kStatusPath = "x737/systems/afds/plugin_status";

// The plug-in loads: publishes its datarefs, sets its status (1 = active)
// and registers its identity. Returns its plug-in id; the caller then
// delivers kAnnounceMessage from kPluginName.
int arrive(int status = 1);

// The plug-in unloads: its datarefs are no longer found.
void leave();

}  // namespace x737
}  // namespace hostsim

#endif
