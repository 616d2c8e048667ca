// A minimal plug-in file for the loader's tests: each entry point logs its
// name, start fills the three buffers, messages log sender name and number.
#include <cstdio>
#include <cstring>

#include "XPLMDefs.h"
#include "XPLMPlugin.h"
#include "XPLMUtilities.h"

PLUGIN_API int XPluginStart(char *outName, char *outSig, char *outDesc) {
    std::strcpy(outName, "Fake");
    std::strcpy(outSig, "hostsim.fake");
    std::strcpy(outDesc, "A plug-in for the loader's tests");
    XPLMDebugString("start\n");
    return 1;
}

PLUGIN_API int XPluginEnable(void) {
    XPLMDebugString("enable\n");
    return 1;
}

PLUGIN_API void XPluginDisable(void) { XPLMDebugString("disable\n"); }

#ifndef FAKE_PLUGIN_WITHOUT_STOP
PLUGIN_API void XPluginStop(void) { XPLMDebugString("stop\n"); }
#endif

PLUGIN_API void XPluginReceiveMessage(XPLMPluginID inFrom, int inMessage, void *) {
    char name[256];
    XPLMGetPluginInfo(inFrom, name, nullptr, nullptr, nullptr);
    char line[320];
    std::snprintf(line, sizeof line, "message %d from %s (%d)\n", inMessage, name, inFrom);
    XPLMDebugString(line);
}
