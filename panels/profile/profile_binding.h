// A profile at work on the simulator thread: its names resolved to
// handles, its values read and written whatever their type, its actions
// done. Nothing here allocates once the names are resolved.
#ifndef DROVANEL_PANELS_PROFILE_PROFILE_BINDING_H
#define DROVANEL_PANELS_PROFILE_PROFILE_BINDING_H

#include <functional>

#include "profile.h"

namespace drovanel {
namespace profile {

// Every name a profile uses, with whether it is a command.
void forEachName(Profile &profile, const std::function<void(DatarefName &)> &dataref,
                 const std::function<void(CommandName &)> &command);

// Looks up every name not yet resolved (the simulator may publish an
// aircraft's names a little after loading it). Calls unknown for each name
// still unresolved.
void resolveNames(Profile &profile, const std::function<void(const char *name, bool command)> &unknown);

// Whether the simulator has every name the part uses (an unbound part has
// none and is not usable).
bool usable(const ValueSource &value);
bool usable(const Condition &condition);
bool usable(const Action &action);
bool usable(const Knob &knob);

// The value as a float: the element, or the scalar read as float, double or
// int, whichever the dataref has; times the scale.
float read(const ValueSource &value);
// Writes as the dataref takes it (the element, or float, double or int).
void write(const ValueSource &target, float value);
bool holds(const Condition &condition);

// Does the action of the position the control is in (current; -1 for none
// of them). Held commands of the other positions are released first.
// Returns false, doing nothing more, when that position's action is not
// usable: the built-in binding acts then.
bool applyPosition(Action *actions, int count, int current);
// The one action of a button, pressed.
bool applyAction(Action &action);

// Ends the held commands of every position but current.
void releaseHeldExcept(Action *actions, int count, int current);
// Ends every held command of these actions (the profile is being unbound).
void releaseHeld(Action *actions, int count);

// The knob stepped once (up or down): its command, or its dataref moved by
// its step within its limits.
void stepKnob(const Knob &knob, bool up);

}  // namespace profile
}  // namespace drovanel

#endif
