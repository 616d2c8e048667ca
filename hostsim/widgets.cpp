// The widget toolkit: a tree of widgets with class, geometry, descriptor,
// properties, visibility and callbacks, and what a person does with it.
#include <algorithm>
#include <cstring>

#include "XPStandardWidgets.h"
#include "XPWidgets.h"
#include "hostsim/state.h"

namespace hostsim {
namespace detail {

Widget *liveWidget(State &s, void *id) {
    if (id == nullptr) {
        return nullptr;
    }
    for (auto &widget : s.widgets) {
        if (widget.get() == id) {
            return widget.get();
        }
    }
    return nullptr;
}

namespace {

bool enabled(const Widget &w) {
    auto it = w.properties.find(xpProperty_Enabled);
    return it == w.properties.end() || it->second != 0;
}

// Visible on screen: the widget and every container above it shown.
bool showing(const Widget &w) {
    for (const Widget *p = &w; p != nullptr; p = p->parent) {
        if (!p->visible) {
            return false;
        }
    }
    return true;
}

intptr_t property(const Widget &w, int id) {
    auto it = w.properties.find(id);
    return it == w.properties.end() ? 0 : it->second;
}

bool isCheckBox(const Widget &w) {
    return w.widgetClass == xpWidgetClass_Button && property(w, xpProperty_ButtonBehavior) == xpButtonBehaviorCheckBox;
}

void collectTree(Widget *w, std::vector<Widget *> *out) {
    out->push_back(w);
    for (Widget *child : w->children) {
        collectTree(child, out);
    }
}

// Sends a message as the toolkit does: to the widget's callbacks newest first
// until one returns 1, then (upChain) to its container's, and so on up to the
// root. Each callback gets the widget it is attached to. Called without the
// lock; a widget destroyed by a callback ends the walk.
bool dispatch(void *id, int message, intptr_t param1, intptr_t param2, bool upChain) {
    State &s = state();
    void *current = id;
    while (current != nullptr) {
        std::vector<XPWidgetFunc_t> callbacks;
        {
            std::lock_guard<std::mutex> lock(s.mu);
            Widget *w = liveWidget(s, current);
            if (w == nullptr) {
                return false;
            }
            callbacks = w->callbacks;
        }
        for (auto it = callbacks.rbegin(); it != callbacks.rend(); ++it) {
            int handled = 0;
            {
                TimedCall timed(CallKind::Widget);
                handled = (*it)(message, current, param1, param2);
            }
            if (handled != 0) {
                return true;
            }
            std::lock_guard<std::mutex> lock(s.mu);
            if (liveWidget(s, current) == nullptr) {
                return false;
            }
        }
        if (!upChain) {
            return false;
        }
        std::lock_guard<std::mutex> lock(s.mu);
        Widget *w = liveWidget(s, current);
        current = w != nullptr ? w->parent : nullptr;
    }
    return false;
}

// The widget a person can use: there, shown, not disabled, of this class.
Widget *usable(State &s, WidgetId id, int widgetClass) {
    Widget *w = liveWidget(s, id);
    if (w == nullptr || w->widgetClass != widgetClass || !enabled(*w) || !showing(*w)) {
        return nullptr;
    }
    return w;
}

std::string renderItem(const Widget &w) {
    std::string text;
    switch (w.widgetClass) {
    case xpWidgetClass_MainWindow:
        text = "== " + w.descriptor + " ==";
        break;
    case xpWidgetClass_SubWindow:
        text = "-- " + w.descriptor + " --";
        break;
    case xpWidgetClass_TextField:
        text = "[" + w.descriptor + "]";
        break;
    case xpWidgetClass_Button:
        if (isCheckBox(w)) {
            text = property(w, xpProperty_ButtonState) != 0 ? "[x]" : "[ ]";
            if (!w.descriptor.empty()) {
                text += " " + w.descriptor;
            }
        } else {
            text = "<" + w.descriptor + ">";
        }
        break;
    default:
        text = w.descriptor;
        break;
    }
    if (!enabled(w)) {
        text += " (disabled)";
    }
    return text;
}

}  // namespace
}  // namespace detail

using detail::State;
using detail::Widget;

std::vector<WidgetState> widgets() {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    std::vector<WidgetState> result;
    for (auto &w : s.widgets) {
        result.push_back({w.get(), w->widgetClass, w->left, w->top, w->right, w->bottom, w->descriptor, w->visible,
                          w->root, w->parent});
    }
    return result;
}

WidgetId findWidget(const std::string &descriptor, int widgetClass) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    for (auto &w : s.widgets) {
        if (w->descriptor == descriptor && w->widgetClass == widgetClass) {
            return w.get();
        }
    }
    return nullptr;
}

long widgetProperty(WidgetId id, int property, bool *exists) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    Widget *w = detail::liveWidget(s, id);
    auto it = w != nullptr ? w->properties.find(property) : std::map<int, intptr_t>::iterator();
    bool found = w != nullptr && it != w->properties.end();
    if (exists != nullptr) {
        *exists = found;
    }
    return found ? static_cast<long>(it->second) : 0;
}

WidgetId frontRoot() {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    return s.frontRoot;
}

// Typing is limited by the field's own maximum (xpProperty_MaxCharacters),
// as a person cannot type past it.
bool typeInto(WidgetId field, const std::string &text) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    Widget *w = detail::usable(s, field, xpWidgetClass_TextField);
    if (w == nullptr) {
        return false;
    }
    intptr_t max = detail::property(*w, xpProperty_MaxCharacters);
    w->descriptor = max > 0 && text.size() > static_cast<std::size_t>(max) ? text.substr(0, max) : text;
    return true;
}

bool pressButton(WidgetId button) {
    bool checkBox = false;
    {
        State &s = detail::state();
        std::lock_guard<std::mutex> lock(s.mu);
        Widget *w = detail::usable(s, button, xpWidgetClass_Button);
        if (w == nullptr) {
            return false;
        }
        checkBox = detail::isCheckBox(*w);
    }
    if (checkBox) {
        return tickCheckBox(button);  // clicking a check box ticks it
    }
    detail::dispatch(button, xpMsg_PushButtonPressed, reinterpret_cast<intptr_t>(button), 0, true);
    return true;
}

bool tickCheckBox(WidgetId box) {
    intptr_t newState = 0;
    {
        State &s = detail::state();
        std::lock_guard<std::mutex> lock(s.mu);
        Widget *w = detail::usable(s, box, xpWidgetClass_Button);
        if (w == nullptr || !detail::isCheckBox(*w)) {
            return false;
        }
        newState = detail::property(*w, xpProperty_ButtonState) != 0 ? 0 : 1;
        w->properties[xpProperty_ButtonState] = newState;
    }
    detail::dispatch(box, xpMsg_ButtonStateChanged, reinterpret_cast<intptr_t>(box), newState, true);
    return true;
}

// One line per row of widgets, rows from the top of the window down and
// left to right within a row; hidden widgets are left out.
std::string renderWindow(WidgetId rootId) {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    Widget *root = detail::liveWidget(s, rootId);
    if (root == nullptr) {
        return "(no window)\n";
    }
    std::vector<Widget *> all;
    detail::collectTree(root, &all);
    std::string out = detail::renderItem(*root);
    out += detail::showing(*root) ? "\n" : " (hidden)\n";
    std::vector<Widget *> shown;
    for (std::size_t i = 1; i < all.size(); ++i) {
        bool visible = true;
        for (Widget *p = all[i]; p != root; p = p->parent) {
            visible = visible && p->visible;
        }
        if (visible) {
            shown.push_back(all[i]);
        }
    }
    std::stable_sort(shown.begin(), shown.end(), [](const Widget *a, const Widget *b) {
        return a->top != b->top ? a->top > b->top : a->left < b->left;
    });
    for (std::size_t i = 0; i < shown.size(); ++i) {
        bool sameRow = i > 0 && shown[i - 1]->top == shown[i]->top;
        out += sameRow ? " " : (i > 0 ? "\n" : "");
        out += detail::renderItem(*shown[i]);
    }
    if (!shown.empty()) {
        out += "\n";
    }
    return out;
}

}  // namespace hostsim

using hostsim::detail::SdkCall;
using hostsim::detail::Widget;

extern "C" {

XPWidgetID XPCreateWidget(int inLeft, int inTop, int inRight, int inBottom, int inVisible, const char *inDescriptor,
                          int inIsRoot, XPWidgetID inContainer, XPWidgetClass inClass) {
    SdkCall call("XPCreateWidget");
    std::unique_ptr<Widget> w(new Widget);
    w->widgetClass = inClass;
    w->left = inLeft;
    w->top = inTop;
    w->right = inRight;
    w->bottom = inBottom;
    w->visible = inVisible != 0;
    w->root = inIsRoot != 0;
    w->descriptor = inDescriptor != nullptr ? inDescriptor : "";
    if (!w->root) {
        if (Widget *container = hostsim::detail::liveWidget(call.s, inContainer)) {
            w->parent = container;
            container->children.push_back(w.get());
        }
    }
    call.s.widgets.push_back(std::move(w));
    return call.s.widgets.back().get();
}

// Every callback of each destroyed widget hears xpMsg_Destroy (param1 1 for
// a child taken along); children left behind lose their container.
void XPDestroyWidget(XPWidgetID inWidget, int inDestroyChildren) {
    std::vector<Widget *> doomed;
    std::vector<std::vector<XPWidgetFunc_t>> callbacks;
    {
        SdkCall call("XPDestroyWidget");
        Widget *w = hostsim::detail::liveWidget(call.s, inWidget);
        if (w == nullptr) {
            return;
        }
        if (inDestroyChildren != 0) {
            hostsim::detail::collectTree(w, &doomed);
        } else {
            doomed.push_back(w);
        }
        for (Widget *d : doomed) {
            callbacks.push_back(d->callbacks);
        }
    }
    for (std::size_t i = 0; i < doomed.size(); ++i) {
        for (auto it = callbacks[i].rbegin(); it != callbacks[i].rend(); ++it) {
            hostsim::TimedCall timed(hostsim::CallKind::Widget);
            (*it)(xpMsg_Destroy, doomed[i], i == 0 ? 0 : 1, 0);
        }
    }
    hostsim::detail::State &s = hostsim::detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    for (Widget *d : doomed) {
        if (hostsim::detail::liveWidget(s, d) == nullptr) {
            continue;  // a callback destroyed it already
        }
        if (d->parent != nullptr) {
            auto &siblings = d->parent->children;
            siblings.erase(std::remove(siblings.begin(), siblings.end(), d), siblings.end());
        }
        for (Widget *child : d->children) {
            child->parent = nullptr;
        }
        d->children.clear();
        if (s.frontRoot == d) {
            s.frontRoot = nullptr;
        }
        auto it = std::find_if(s.widgets.begin(), s.widgets.end(), [d](auto &p) { return p.get() == d; });
        s.destroyedWidgets.push_back(std::move(*it));
        s.widgets.erase(it);
    }
}

void XPSetWidgetProperty(XPWidgetID inWidget, XPWidgetPropertyID inProperty, intptr_t inValue) {
    SdkCall call("XPSetWidgetProperty");
    if (Widget *w = hostsim::detail::liveWidget(call.s, inWidget)) {
        w->properties[inProperty] = inValue;
    }
}

intptr_t XPGetWidgetProperty(XPWidgetID inWidget, XPWidgetPropertyID inProperty, int *inExists) {
    SdkCall call("XPGetWidgetProperty");
    Widget *w = hostsim::detail::liveWidget(call.s, inWidget);
    auto it = w != nullptr ? w->properties.find(inProperty) : std::map<int, intptr_t>::iterator();
    bool found = w != nullptr && it != w->properties.end();
    if (inExists != nullptr) {
        *inExists = found ? 1 : 0;
    }
    return found ? it->second : 0;
}

void XPSetWidgetDescriptor(XPWidgetID inWidget, const char *inDescriptor) {
    SdkCall call("XPSetWidgetDescriptor");
    if (Widget *w = hostsim::detail::liveWidget(call.s, inWidget)) {
        w->descriptor = inDescriptor != nullptr ? inDescriptor : "";
    }
}

// Like strncpy: a copy that fills the whole buffer is not terminated. The
// result is the descriptor's full length whatever the buffer.
int XPGetWidgetDescriptor(XPWidgetID inWidget, char *outDescriptor, int inMaxDescLength) {
    SdkCall call("XPGetWidgetDescriptor");
    Widget *w = hostsim::detail::liveWidget(call.s, inWidget);
    if (w == nullptr) {
        return 0;
    }
    if (outDescriptor != nullptr && inMaxDescLength > 0) {
        std::strncpy(outDescriptor, w->descriptor.c_str(), static_cast<std::size_t>(inMaxDescLength));
    }
    return static_cast<int>(w->descriptor.size());
}

// Moving a root window moves everything in it by the same offset (its top
// left corner leads), as the toolkit does when a window is dragged.
void XPSetWidgetGeometry(XPWidgetID inWidget, int inLeft, int inTop, int inRight, int inBottom) {
    SdkCall call("XPSetWidgetGeometry");
    Widget *w = hostsim::detail::liveWidget(call.s, inWidget);
    if (w == nullptr) {
        return;
    }
    int dx = inLeft - w->left;
    int dy = inTop - w->top;
    w->left = inLeft;
    w->top = inTop;
    w->right = inRight;
    w->bottom = inBottom;
    if (w->root && (dx != 0 || dy != 0)) {
        std::vector<Widget *> tree;
        hostsim::detail::collectTree(w, &tree);
        for (std::size_t i = 1; i < tree.size(); ++i) {
            tree[i]->left += dx;
            tree[i]->right += dx;
            tree[i]->top += dy;
            tree[i]->bottom += dy;
        }
    }
}

void XPGetWidgetGeometry(XPWidgetID inWidget, int *outLeft, int *outTop, int *outRight, int *outBottom) {
    SdkCall call("XPGetWidgetGeometry");
    Widget *w = hostsim::detail::liveWidget(call.s, inWidget);
    if (outLeft != nullptr) *outLeft = w != nullptr ? w->left : 0;
    if (outTop != nullptr) *outTop = w != nullptr ? w->top : 0;
    if (outRight != nullptr) *outRight = w != nullptr ? w->right : 0;
    if (outBottom != nullptr) *outBottom = w != nullptr ? w->bottom : 0;
}

void XPShowWidget(XPWidgetID inWidget) {
    SdkCall call("XPShowWidget");
    if (Widget *w = hostsim::detail::liveWidget(call.s, inWidget)) {
        w->visible = true;
    }
}

void XPHideWidget(XPWidgetID inWidget) {
    SdkCall call("XPHideWidget");
    if (Widget *w = hostsim::detail::liveWidget(call.s, inWidget)) {
        w->visible = false;
    }
}

void XPBringRootWidgetToFront(XPWidgetID inWidget) {
    SdkCall call("XPBringRootWidgetToFront");
    Widget *w = hostsim::detail::liveWidget(call.s, inWidget);
    while (w != nullptr && w->parent != nullptr) {
        w = w->parent;
    }
    if (w != nullptr && w->root) {
        call.s.frontRoot = w;
    }
}

// The new callback hears xpMsg_Create at once, with param1 1 ("added to an
// existing widget"), before any other message.
void XPAddWidgetCallback(XPWidgetID inWidget, XPWidgetFunc_t inNewCallback) {
    {
        SdkCall call("XPAddWidgetCallback");
        Widget *w = hostsim::detail::liveWidget(call.s, inWidget);
        if (w == nullptr || inNewCallback == nullptr) {
            return;
        }
        w->callbacks.push_back(inNewCallback);
    }
    hostsim::TimedCall timed(hostsim::CallKind::Widget);
    inNewCallback(xpMsg_Create, inWidget, 1, 0);
}

}  // extern "C"
