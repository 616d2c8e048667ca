// Finds the preferences window's controls the way a person does: by the
// caption beside them, within the frame of a section ("Multipanel",
// "Radiopanel #1", ...), since several sections repeat the same captions.
#ifndef DROVANEL_HOSTSIM_SIM_WINDOW_CONTROLS_H
#define DROVANEL_HOSTSIM_SIM_WINDOW_CONTROLS_H

#include <string>
#include <vector>

#include "hostsim/hostsim.h"

namespace hostsim {
namespace sim {

// The visible widget of class widgetClass on the caption's row, right of the
// caption. section "" accepts a caption anywhere, if there is only one.
// nullptr and a reason when there is none (or the choice is ambiguous).
WidgetId findControl(const std::vector<WidgetState> &widgets, const std::string &section,
                     const std::string &caption, int widgetClass, std::string *error);

// A visible push button with this caption.
WidgetId findButton(const std::vector<WidgetState> &widgets, const std::string &caption, std::string *error);

}  // namespace sim
}  // namespace hostsim

#endif
