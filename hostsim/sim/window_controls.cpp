#include "hostsim/sim/window_controls.h"

#include "XPStandardWidgets.h"

namespace hostsim {
namespace sim {

namespace {

bool inside(const WidgetState &inner, const WidgetState &frame) {
    return inner.left >= frame.left && inner.right <= frame.right && inner.top <= frame.top &&
           inner.bottom >= frame.bottom;
}

// A widget counts as shown only when it and every parent are visible.
bool shown(const std::vector<WidgetState> &widgets, const WidgetState &w) {
    const WidgetState *at = &w;
    for (int depth = 0; at != nullptr && depth < 64; ++depth) {
        if (!at->visible) return false;
        const WidgetState *parent = nullptr;
        for (const WidgetState &candidate : widgets) {
            if (candidate.id == at->parent && at->parent != nullptr) parent = &candidate;
        }
        at = parent;
    }
    return true;
}

}  // namespace

WidgetId findControl(const std::vector<WidgetState> &widgets, const std::string &section,
                     const std::string &caption, int widgetClass, std::string *error) {
    const WidgetState *frame = nullptr;
    if (!section.empty()) {
        for (const WidgetState &w : widgets) {
            if (w.widgetClass == xpWidgetClass_SubWindow && w.descriptor == section && shown(widgets, w)) frame = &w;
        }
        if (frame == nullptr) {
            *error = "no section \"" + section + "\" in an open window";
            return nullptr;
        }
    }
    const WidgetState *label = nullptr;
    for (const WidgetState &w : widgets) {
        if (w.widgetClass != xpWidgetClass_Caption || w.descriptor != caption || !shown(widgets, w)) continue;
        if (frame != nullptr && !inside(w, *frame)) continue;
        if (label != nullptr) {
            *error = "\"" + caption + "\" appears in several sections: name the section";
            return nullptr;
        }
        label = &w;
    }
    if (label == nullptr) {
        *error = "no \"" + caption + "\" in " + (section.empty() ? "an open window" : "section \"" + section + "\"");
        return nullptr;
    }
    const WidgetState *best = nullptr;
    for (const WidgetState &w : widgets) {
        if (w.widgetClass != widgetClass || w.top != label->top || w.bottom != label->bottom ||
            w.left < label->right || !shown(widgets, w)) {
            continue;
        }
        if (best == nullptr || w.left < best->left) best = &w;
    }
    if (best == nullptr) {
        *error = "nothing to " + std::string(widgetClass == xpWidgetClass_TextField ? "type into" : "tick") +
                 " beside \"" + caption + "\"";
        return nullptr;
    }
    return best->id;
}

WidgetId findButton(const std::vector<WidgetState> &widgets, const std::string &caption, std::string *error) {
    for (const WidgetState &w : widgets) {
        if (w.widgetClass == xpWidgetClass_Button && w.descriptor == caption && shown(widgets, w)) return w.id;
    }
    *error = "no button \"" + caption + "\" in an open window";
    return nullptr;
}

}  // namespace sim
}  // namespace hostsim
