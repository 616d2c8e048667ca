// The global preferences file Drovanel.prf: one byte, 1 when the Switch
// Panel is to be ignored.
#ifndef DROVANEL_PLUGIN_PREFERENCES_FILE_H
#define DROVANEL_PLUGIN_PREFERENCES_FILE_H

namespace drovanel {

// Sets *ignoreSwitchPanel from the file when it can; logs why not.
void readPreferences(bool *ignoreSwitchPanel);
// Stores the flag as the file's first byte; later bytes stay as they are.
void writePreferences(bool ignoreSwitchPanel);

}  // namespace drovanel

#endif
