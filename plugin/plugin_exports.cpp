// The five entry points the host looks up by name. Each plug-in file
// compiles this with its own identity.
#include "XPLMDefs.h"
#include "plugin_core.h"

#if defined(DROVANEL_IDENTITY_LINUX)
#define DROVANEL_IDENTITY drovanel::kLinuxIdentity
#else
#define DROVANEL_IDENTITY drovanel::kWindowsIdentity
#endif

PLUGIN_API int XPluginStart(char *outName, char *outSig, char *outDesc) {
    return drovanel::pluginStart(DROVANEL_IDENTITY, outName, outSig, outDesc);
}

PLUGIN_API void XPluginStop(void) { drovanel::pluginStop(); }

PLUGIN_API int XPluginEnable(void) { return drovanel::pluginEnable(); }

PLUGIN_API void XPluginDisable(void) { drovanel::pluginDisable(); }

PLUGIN_API void XPluginReceiveMessage(XPLMPluginID inFrom, int inMessage, void *inParam) {
    drovanel::pluginReceiveMessage(inFrom, inMessage, inParam);
}
