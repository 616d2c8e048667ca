// The aircraft the simulator has loaded.
#ifndef DROVANEL_SDK_XPLMPLANES_H
#define DROVANEL_SDK_XPLMPLANES_H

#include "XPLMDefs.h"

#ifdef __cplusplus
extern "C" {
#endif

// Aircraft inIndex (0 is the user's): its .acf file name into outFileName
// (at least 256 bytes) and the file's full path into outPath (at least 512).
XPLM_API void XPLMGetNthAircraftModel(int inIndex, char *outFileName, char *outPath);

#ifdef __cplusplus
}
#endif

#endif
