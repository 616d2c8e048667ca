// Look-ups of names that not every simulator version publishes. The first
// choice is tried first; where the simulator that loaded the plug-in does
// not know it (the find call gives NULL), the simulator's own name for the
// same job is bound instead. Header-only, like the command helpers.
#ifndef DROVANEL_PANELS_HOST_NAMES_H
#define DROVANEL_PANELS_HOST_NAMES_H

#include "XPLMDataAccess.h"
#include "XPLMUtilities.h"

namespace drovanel {

// Fills handles[0, count): handles[0] is the first choice when the host has
// it and the others stay null; otherwise handles[i] is fallbacks[i] (a job
// one version does with one name and another with several). A null
// fallback is not looked up.
template <typename Handle, typename Find>
void findFirstOrFallbacks(Find find, const char *first, const char *const *fallbacks, int count,
                          Handle *handles) {
    for (int i = 0; i < count; ++i) handles[i] = nullptr;
    if (count <= 0) return;
    handles[0] = find(first);
    if (handles[0] != nullptr) return;
    for (int i = 0; i < count; ++i) {
        if (fallbacks[i] != nullptr) handles[i] = find(fallbacks[i]);
    }
}

inline XPLMCommandRef findCommand(const char *first, const char *fallback = nullptr) {
    XPLMCommandRef handle;
    findFirstOrFallbacks(XPLMFindCommand, first, &fallback, 1, &handle);
    return handle;
}

inline XPLMDataRef findDataRef(const char *first, const char *fallback = nullptr) {
    XPLMDataRef handle;
    findFirstOrFallbacks(XPLMFindDataRef, first, &fallback, 1, &handle);
    return handle;
}

inline void findDataRefs(const char *first, const char *const *fallbacks, int count, XPLMDataRef *handles) {
    findFirstOrFallbacks(XPLMFindDataRef, first, fallbacks, count, handles);
}

}  // namespace drovanel

#endif
