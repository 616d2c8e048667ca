// The widget toolkit model: tree, descriptor copy rules, callbacks and the
// messages a person's actions send, and the text picture of a window.
#include <gtest/gtest.h>

#include <cstring>

#include "XPStandardWidgets.h"
#include "XPWidgets.h"
#include "hostsim/hostsim.h"

namespace {

struct Message {
    const char *who;
    int message;
    XPWidgetID widget;
    intptr_t param1;
    intptr_t param2;
};
std::vector<Message> heard;
int answerOf1300 = 0;  // what `second` returns for a pressed button

int first(XPWidgetMessage m, XPWidgetID w, intptr_t p1, intptr_t p2) {
    heard.push_back({"first", m, w, p1, p2});
    return 0;
}
int second(XPWidgetMessage m, XPWidgetID w, intptr_t p1, intptr_t p2) {
    heard.push_back({"second", m, w, p1, p2});
    return m == xpMsg_PushButtonPressed ? answerOf1300 : 0;
}
int window(XPWidgetMessage m, XPWidgetID w, intptr_t p1, intptr_t p2) {
    heard.push_back({"window", m, w, p1, p2});
    return m == xpMsg_PushButtonPressed || m == xpMsg_ButtonStateChanged ? 1 : 0;
}

class WidgetTest : public testing::Test {
protected:
    void SetUp() override {
        hostsim::reset();
        heard.clear();
        answerOf1300 = 0;
        root = XPCreateWidget(0, 100, 200, 0, 1, "Window", 1, nullptr, xpWidgetClass_MainWindow);
        field = XPCreateWidget(10, 80, 60, 70, 1, "0", 0, root, xpWidgetClass_TextField);
        button = XPCreateWidget(10, 20, 60, 10, 1, "OK", 0, root, xpWidgetClass_Button);
        box = XPCreateWidget(70, 80, 90, 70, 1, "", 0, root, xpWidgetClass_Button);
        XPSetWidgetProperty(box, xpProperty_ButtonType, xpRadioButton);
        XPSetWidgetProperty(box, xpProperty_ButtonBehavior, xpButtonBehaviorCheckBox);
        XPSetWidgetProperty(box, xpProperty_ButtonState, 0);
    }
    XPWidgetID root, field, button, box;
};

TEST_F(WidgetTest, TreePropertiesAndGeometry) {
    std::vector<hostsim::WidgetState> all = hostsim::widgets();
    ASSERT_EQ(all.size(), 4u);
    EXPECT_TRUE(all[0].root);
    EXPECT_EQ(all[1].parent, root);
    EXPECT_EQ(all[2].descriptor, "OK");
    EXPECT_EQ(hostsim::findWidget("OK", xpWidgetClass_Button), button);
    EXPECT_EQ(hostsim::findWidget("OK", xpWidgetClass_Caption), nullptr);

    int exists = -1;
    EXPECT_EQ(XPGetWidgetProperty(box, xpProperty_ButtonBehavior, &exists), xpButtonBehaviorCheckBox);
    EXPECT_EQ(exists, 1);
    EXPECT_EQ(XPGetWidgetProperty(box, xpProperty_Enabled, &exists), 0);
    EXPECT_EQ(exists, 0);
    EXPECT_EQ(XPGetWidgetProperty(nullptr, xpProperty_Enabled, &exists), 0);
    EXPECT_EQ(exists, 0);
    bool found = true;
    EXPECT_EQ(hostsim::widgetProperty(box, xpProperty_ButtonType, &found), xpRadioButton);
    EXPECT_TRUE(found);

    // Moving the window keeping its size takes its children along.
    XPSetWidgetGeometry(root, 312, 284, 512, 184);
    int l, t, r, b;
    XPGetWidgetGeometry(field, &l, &t, &r, &b);
    EXPECT_EQ(l, 322);
    EXPECT_EQ(t, 264);
    EXPECT_EQ(r, 372);
    EXPECT_EQ(b, 254);
    XPGetWidgetGeometry(root, &l, nullptr, nullptr, &b);
    EXPECT_EQ(l, 312);
    EXPECT_EQ(b, 184);
    // Moving a child moves only the child.
    XPSetWidgetGeometry(field, 0, 10, 5, 0);
    XPGetWidgetGeometry(root, &l, &t, nullptr, nullptr);
    EXPECT_EQ(l, 312);

    EXPECT_EQ(hostsim::frontRoot(), nullptr);
    XPBringRootWidgetToFront(field);  // brings the field's window
    EXPECT_EQ(hostsim::frontRoot(), root);
}

TEST_F(WidgetTest, DescriptorCopyIsTruncatedWithoutTerminator) {
    XPSetWidgetDescriptor(field, "Hello");
    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(XPGetWidgetDescriptor(field, buffer, 3), 5);
    EXPECT_EQ(std::string(buffer, 4), "Hel#");
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(XPGetWidgetDescriptor(field, buffer, 5), 5);
    EXPECT_EQ(buffer[5], '#');  // exactly full: still no terminator
    EXPECT_EQ(XPGetWidgetDescriptor(field, buffer, 8), 5);
    EXPECT_STREQ(buffer, "Hello");
    EXPECT_EQ(XPGetWidgetDescriptor(field, nullptr, 0), 5);
    EXPECT_EQ(XPGetWidgetDescriptor(nullptr, buffer, 8), 0);
}

TEST_F(WidgetTest, CallbacksHearCreateAtOnceAndNewestFirstUpTheChain) {
    XPAddWidgetCallback(button, first);
    XPAddWidgetCallback(button, second);
    XPAddWidgetCallback(root, window);
    ASSERT_EQ(heard.size(), 3u);
    EXPECT_EQ(heard[0].message, xpMsg_Create);
    EXPECT_EQ(heard[1].widget, button);
    EXPECT_EQ(heard[2].widget, root);
    heard.clear();

    // Nobody on the button handles it: it climbs to the window.
    EXPECT_TRUE(hostsim::pressButton(button));
    ASSERT_EQ(heard.size(), 3u);
    EXPECT_STREQ(heard[0].who, "second");
    EXPECT_STREQ(heard[1].who, "first");
    EXPECT_STREQ(heard[2].who, "window");
    EXPECT_EQ(heard[2].message, xpMsg_PushButtonPressed);
    EXPECT_EQ(heard[2].widget, root);
    EXPECT_EQ(heard[2].param1, reinterpret_cast<intptr_t>(button));

    // The newest callback handles it: nobody else hears it.
    heard.clear();
    answerOf1300 = 1;
    EXPECT_TRUE(hostsim::pressButton(button));
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_STREQ(heard[0].who, "second");
}

TEST_F(WidgetTest, PersonActionsNeedAWidgetThatIsThereShownAndEnabled) {
    XPAddWidgetCallback(root, window);
    heard.clear();

    EXPECT_TRUE(hostsim::typeInto(field, "250"));
    EXPECT_EQ(hostsim::widgets()[1].descriptor, "250");
    XPSetWidgetProperty(field, xpProperty_MaxCharacters, 2);
    EXPECT_TRUE(hostsim::typeInto(field, "1234"));
    EXPECT_EQ(hostsim::widgets()[1].descriptor, "12");
    EXPECT_FALSE(hostsim::typeInto(button, "x"));  // not a field

    EXPECT_TRUE(hostsim::tickCheckBox(box));
    EXPECT_EQ(hostsim::widgetProperty(box, xpProperty_ButtonState), 1);
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].message, xpMsg_ButtonStateChanged);
    EXPECT_EQ(heard[0].param2, 1);
    EXPECT_TRUE(hostsim::pressButton(box));  // a click on a check box ticks it
    EXPECT_EQ(hostsim::widgetProperty(box, xpProperty_ButtonState), 0);
    EXPECT_FALSE(hostsim::tickCheckBox(button));  // a push button is no check box
    heard.clear();

    XPSetWidgetProperty(field, xpProperty_Enabled, 0);
    XPSetWidgetProperty(box, xpProperty_Enabled, 0);
    XPSetWidgetProperty(button, xpProperty_Enabled, 0);
    EXPECT_FALSE(hostsim::typeInto(field, "9"));
    EXPECT_FALSE(hostsim::tickCheckBox(box));
    EXPECT_FALSE(hostsim::pressButton(button));
    XPSetWidgetProperty(button, xpProperty_Enabled, 1);
    XPHideWidget(root);
    EXPECT_FALSE(hostsim::pressButton(button));  // inside a hidden window
    XPShowWidget(root);
    EXPECT_TRUE(hostsim::pressButton(button));
    EXPECT_EQ(heard.size(), 1u);
    EXPECT_FALSE(hostsim::pressButton(nullptr));
    EXPECT_EQ(hostsim::widgets()[1].descriptor, "12");
}

TEST_F(WidgetTest, DestroySendsDestroyToEveryCallbackAndForgetsTheTree) {
    XPAddWidgetCallback(root, window);
    XPAddWidgetCallback(button, first);
    XPBringRootWidgetToFront(root);
    heard.clear();

    XPWidgetID other = XPCreateWidget(0, 10, 10, 0, 1, "child", 0, nullptr, xpWidgetClass_Caption);
    XPWidgetID lone = XPCreateWidget(0, 10, 10, 0, 1, "Lone", 1, nullptr, xpWidgetClass_MainWindow);
    XPWidgetID orphan = XPCreateWidget(0, 10, 10, 0, 1, "orphan", 0, lone, xpWidgetClass_Caption);
    XPDestroyWidget(lone, 0);  // without children: the child stays, uncontained
    ASSERT_EQ(hostsim::widgets().size(), 6u);
    EXPECT_EQ(hostsim::widgets()[5].id, orphan);
    EXPECT_EQ(hostsim::widgets()[5].parent, nullptr);

    XPDestroyWidget(root, 1);
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_STREQ(heard[0].who, "window");
    EXPECT_EQ(heard[0].message, xpMsg_Destroy);
    EXPECT_EQ(heard[0].param1, 0);
    EXPECT_STREQ(heard[1].who, "first");
    EXPECT_EQ(heard[1].param1, 1);
    ASSERT_EQ(hostsim::widgets().size(), 2u);
    EXPECT_EQ(hostsim::widgets()[0].id, other);
    EXPECT_EQ(hostsim::frontRoot(), nullptr);
    EXPECT_FALSE(hostsim::pressButton(button));
    XPSetWidgetDescriptor(field, "stale");  // a destroyed id is ignored
    EXPECT_EQ(XPGetWidgetDescriptor(field, nullptr, 0), 0);
}

TEST_F(WidgetTest, RenderWindowShowsWhatAPersonSees) {
    XPCreateWidget(10, 80, 60, 70, 1, "Delay", 0, root, xpWidgetClass_Caption);
    XPCreateWidget(5, 95, 195, 50, 1, "Frame", 0, root, xpWidgetClass_SubWindow);
    XPWidgetID hidden = XPCreateWidget(10, 40, 60, 30, 0, "secret", 0, root, xpWidgetClass_Caption);
    XPSetWidgetProperty(field, xpProperty_Enabled, 0);
    XPSetWidgetProperty(box, xpProperty_ButtonState, 1);
    EXPECT_EQ(hostsim::renderWindow(root),
              "== Window ==\n"
              "-- Frame --\n"
              "[0] (disabled) Delay [x]\n"
              "<OK>\n");
    XPShowWidget(hidden);
    XPHideWidget(root);
    EXPECT_EQ(hostsim::renderWindow(root),
              "== Window == (hidden)\n"
              "-- Frame --\n"
              "[0] (disabled) Delay [x]\n"
              "secret\n"
              "<OK>\n");
}

}  // namespace
