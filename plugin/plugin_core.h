// The plug-in core: the five entry points' work, the panel registry, the
// flight loop, the message and menu handlers. All of it runs on the host's
// thread.
#ifndef DROVANEL_PLUGIN_PLUGIN_CORE_H
#define DROVANEL_PLUGIN_PLUGIN_CORE_H

#include "XPLMDefs.h"
#include "panel_registry.h"

namespace drovanel {

// The identity written by start.
struct PluginIdentity {
    const char *name;
    const char *signature;
    const char *description;
};
extern const PluginIdentity kWindowsIdentity;
extern const PluginIdentity kLinuxIdentity;

int pluginStart(const PluginIdentity &identity, char *outName, char *outSig, char *outDesc);
int pluginEnable();
void pluginDisable();
void pluginStop();
void pluginReceiveMessage(XPLMPluginID from, int message, void *param);

float flightLoopCallback(float elapsedSinceLastCall, float elapsedSinceLastFlightLoop, int counter, void *refcon);
void menuHandler(void *menuRef, void *itemRef);
void deleteAllPanels();

// The driver in a registry slot, or nullptr.
AbstractPanel *panelInSlot(PanelSlot slot);
bool ignoreSwitchPanelSet();

// Makes the device watch list now rather than at its next period, so that
// tests see a plug or unplug without waiting. Any thread.
void deviceWatchListNow();

}  // namespace drovanel

#endif
