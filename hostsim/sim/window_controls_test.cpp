#include "hostsim/sim/window_controls.h"

#include <gtest/gtest.h>

#include "XPStandardWidgets.h"

namespace hostsim {
namespace sim {
namespace {

// Ids are only compared, never followed.
WidgetId id(int n) { return reinterpret_cast<WidgetId>(static_cast<std::intptr_t>(n)); }

WidgetState widget(int n, int cls, int left, int top, int right, int bottom, const std::string &text) {
    return WidgetState{id(n), cls, left, top, right, bottom, text, true, false, id(1)};
}

// Two sections repeating one caption, each with its field; a check box row.
std::vector<WidgetState> window() {
    std::vector<WidgetState> w;
    w.push_back(WidgetState{id(1), xpWidgetClass_MainWindow, 0, 490, 400, 0, "Prefs", true, true, nullptr});
    w.push_back(widget(2, xpWidgetClass_SubWindow, 10, 470, 390, 360, "Multipanel"));
    w.push_back(widget(3, xpWidgetClass_SubWindow, 10, 350, 390, 260, "Radiopanel #1"));
    w.push_back(widget(4, xpWidgetClass_Caption, 20, 420, 170, 410, "Repeat Threshold"));
    w.push_back(widget(5, xpWidgetClass_TextField, 175, 420, 225, 410, "10"));
    w.push_back(widget(6, xpWidgetClass_Caption, 20, 300, 170, 290, "Repeat Threshold"));
    w.push_back(widget(7, xpWidgetClass_TextField, 175, 300, 225, 290, "10"));
    w.push_back(widget(8, xpWidgetClass_Caption, 20, 380, 170, 370, "AP flashes in FD mode"));
    w.push_back(widget(9, xpWidgetClass_Button, 175, 380, 225, 370, ""));
    w.push_back(widget(10, xpWidgetClass_Button, 150, 20, 250, 10, "OK"));
    return w;
}

TEST(WindowControls, TheSectionPicksBetweenRepeatedCaptions) {
    std::string error;
    EXPECT_EQ(id(5), findControl(window(), "Multipanel", "Repeat Threshold", xpWidgetClass_TextField, &error));
    EXPECT_EQ(id(7), findControl(window(), "Radiopanel #1", "Repeat Threshold", xpWidgetClass_TextField, &error));
    EXPECT_EQ(id(9), findControl(window(), "", "AP flashes in FD mode", xpWidgetClass_Button, &error));
    EXPECT_EQ(id(10), findButton(window(), "OK", &error));
}

TEST(WindowControls, AmbiguousMissingAndHiddenControlsAreNamed) {
    std::string error;
    EXPECT_EQ(nullptr, findControl(window(), "", "Repeat Threshold", xpWidgetClass_TextField, &error));
    EXPECT_EQ("\"Repeat Threshold\" appears in several sections: name the section", error);
    EXPECT_EQ(nullptr, findControl(window(), "Radiopanel #2", "Repeat Threshold", xpWidgetClass_TextField, &error));
    EXPECT_EQ("no section \"Radiopanel #2\" in an open window", error);
    EXPECT_EQ(nullptr, findControl(window(), "Multipanel", "Change Threshold", xpWidgetClass_TextField, &error));
    EXPECT_EQ("no \"Change Threshold\" in section \"Multipanel\"", error);

    std::vector<WidgetState> hidden = window();
    hidden[0].visible = false;  // the window itself is closed
    EXPECT_EQ(nullptr, findButton(hidden, "OK", &error));
    EXPECT_EQ("no button \"OK\" in an open window", error);
}

}  // namespace
}  // namespace sim
}  // namespace hostsim
