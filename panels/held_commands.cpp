#include "held_commands.h"

#include "host_command.h"

namespace drovanel {

HeldCommands::Entry *HeldCommands::find(XPLMCommandRef command) {
    for (Entry &entry : entries_) {
        if (entry.begun > 0 && entry.command == command) return &entry;
    }
    return nullptr;
}

void HeldCommands::begin(XPLMCommandRef command) {
    if (command == nullptr) return;
    commandBegin(command);
    Entry *entry = find(command);
    if (entry == nullptr) {
        for (Entry &free : entries_) {
            if (free.begun == 0) {
                free.command = command;
                entry = &free;
                break;
            }
        }
    }
    if (entry != nullptr) ++entry->begun;
}

void HeldCommands::end(XPLMCommandRef command) {
    if (command == nullptr) return;
    commandEnd(command);
    if (Entry *entry = find(command)) --entry->begun;
}

void HeldCommands::endAll() {
    for (Entry &entry : entries_) {
        for (; entry.begun > 0; --entry.begun) commandEnd(entry.command);
        entry.command = nullptr;
    }
}

std::uint32_t HeldCommands::held() const {
    std::uint32_t total = 0;
    for (const Entry &entry : entries_) total += entry.begun;
    return total;
}

}  // namespace drovanel
