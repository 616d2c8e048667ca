#include "preferences_file.h"

#include <cstdint>
#include <string>

#include "XPLMUtilities.h"
#include "abstract_panel.h"
#include "settings_file.h"

namespace drovanel {

namespace {
constexpr const char *kPreferencesFileName = "Drovanel.prf";
}

void readPreferences(bool *ignoreSwitchPanel) {
    SettingsFile file;
    if (!file.open(preferencesFolderFile(kPreferencesFileName).c_str())) {
        XPLMDebugString("Drovanel : read prefs failed - invalid handle");
        return;
    }
    std::uint8_t byte = 0;
    long got = file.readFromStart(&byte, 1);
    if (got < 0) {
        XPLMDebugString("Drovanel : read prefs failed");
    } else if (got == 0) {
        XPLMDebugString("Drovanel : read prefs failed - empty file");
    } else {
        *ignoreSwitchPanel = byte == 1;
    }
}

void writePreferences(bool ignoreSwitchPanel) {
    SettingsFile file;
    if (!file.open(preferencesFolderFile(kPreferencesFileName).c_str())) {
        XPLMDebugString("Drovanel : prefs not written - invalid handle");
        return;
    }
    std::uint8_t byte = ignoreSwitchPanel ? 1 : 0;
    if (file.writeAtStart(&byte, 1) != 1) XPLMDebugString("Drovanel : prefs not written");
}

}  // namespace drovanel
