// Plug-in information and inter-plug-in messages.
#ifndef DROVANEL_SDK_XPLMPLUGIN_H
#define DROVANEL_SDK_XPLMPLUGIN_H

#include "XPLMDefs.h"

#ifdef __cplusplus
extern "C" {
#endif

#define XPLM_MSG_PLANE_LOADED 102

XPLM_API XPLMPluginID XPLMGetMyID(void);
XPLM_API void XPLMGetPluginInfo(XPLMPluginID inPlugin, char *outName, char *outFilePath, char *outSignature,
                                char *outDescription);

#ifdef __cplusplus
}
#endif

#endif
