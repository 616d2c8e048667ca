// Command calls that do nothing for a NULL handle. The real host forwards a
// command handle without checking it, and the drivers keep NULL handles for
// commands an aircraft does not have, so every command goes through here.
#ifndef DROVANEL_PANELS_HOST_COMMAND_H
#define DROVANEL_PANELS_HOST_COMMAND_H

#include "XPLMUtilities.h"

namespace drovanel {

inline void commandOnce(XPLMCommandRef command) {
    if (command != nullptr) XPLMCommandOnce(command);
}
inline void commandBegin(XPLMCommandRef command) {
    if (command != nullptr) XPLMCommandBegin(command);
}
inline void commandEnd(XPLMCommandRef command) {
    if (command != nullptr) XPLMCommandEnd(command);
}

}  // namespace drovanel

#endif
