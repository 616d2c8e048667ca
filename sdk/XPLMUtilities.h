// Log, commands, paths.
#ifndef DROVANEL_SDK_XPLMUTILITIES_H
#define DROVANEL_SDK_XPLMUTILITIES_H

#include "XPLMDefs.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef void *XPLMCommandRef;

XPLM_API void XPLMDebugString(const char *inString);
XPLM_API XPLMCommandRef XPLMFindCommand(const char *inName);
XPLM_API void XPLMCommandOnce(XPLMCommandRef inCommand);
XPLM_API void XPLMCommandBegin(XPLMCommandRef inCommand);
XPLM_API void XPLMCommandEnd(XPLMCommandRef inCommand);
XPLM_API void XPLMGetPrefsPath(char *outPrefsPath);
XPLM_API const char *XPLMGetDirectorySeparator(void);
XPLM_API char *XPLMExtractFileAndPath(char *inFullPath);

#ifdef __cplusplus
}
#endif

#endif
