// The commands a panel has begun and not yet ended, so that a panel torn
// down for any reason (unplugged, disabled, re-created) leaves none held.
// Each begin must be balanced by an end; this counts them per handle.
// Simulator thread only; fixed size, no allocation.
#ifndef DROVANEL_PANELS_HELD_COMMANDS_H
#define DROVANEL_PANELS_HELD_COMMANDS_H

#include <cstdint>

#include "XPLMUtilities.h"

namespace drovanel {

class HeldCommands {
public:
    // The number of distinct commands a driver holds at once; the Switch
    // Panel holds only the starter.
    static constexpr int kCapacity = 4;

    // XPLMCommandBegin, counted. Nothing for a NULL handle. A handle beyond
    // the capacity is begun all the same but not counted.
    void begin(XPLMCommandRef command);
    // XPLMCommandEnd, whether or not the command was begun here (a switch
    // resting where a held command ends sends its end every report).
    void end(XPLMCommandRef command);
    // One XPLMCommandEnd for every begin not yet ended, then forgets them.
    void endAll();
    // Begins not yet ended, over all handles.
    std::uint32_t held() const;

private:
    struct Entry {
        XPLMCommandRef command = nullptr;
        std::uint32_t begun = 0;
    };
    Entry *find(XPLMCommandRef command);

    Entry entries_[kCapacity];
};

}  // namespace drovanel

#endif
