// Menus under the Plugins menu, and what a person sees and picks there.
#include "XPLMMenus.h"
#include "hostsim/state.h"

namespace hostsim {
namespace detail {
namespace {

Menu &pluginsMenu(State &s) {
    if (!s.pluginsMenu) {
        s.pluginsMenu.reset(new Menu);
    }
    return *s.pluginsMenu;
}

// Only menus the host made are dereferenced; a stale id finds nothing.
Menu *liveMenu(State &s, XPLMMenuID id) {
    if (id == nullptr) {
        return nullptr;
    }
    if (s.pluginsMenu && s.pluginsMenu.get() == id) {
        return s.pluginsMenu.get();
    }
    for (auto &menu : s.menus) {
        if (menu.get() == id) {
            return menu.get();
        }
    }
    return nullptr;
}

MenuItem *liveItem(State &s, XPLMMenuID id, int index) {
    Menu *menu = liveMenu(s, id);
    if (menu == nullptr || index < 0 || static_cast<std::size_t>(index) >= menu->items.size()) {
        return nullptr;
    }
    return &menu->items[index];
}

MenuState snapshot(const Menu &menu) {
    MenuState state{menu.name, {}};
    for (const MenuItem &item : menu.items) {
        state.items.push_back({item.name, item.itemRef, item.enabled, item.check});
    }
    return state;
}

void renderMenu(const Menu &menu, const std::string &indent, std::string *out) {
    for (const MenuItem &item : menu.items) {
        *out += indent;
        *out += item.check == xplm_Menu_Checked ? "[x] " : item.check == xplm_Menu_Unchecked ? "[ ] " : "    ";
        *out += item.name;
        if (item.submenu != nullptr) {
            *out += " > " + item.submenu->name;
        }
        if (!item.enabled) {
            *out += " (disabled)";
        }
        *out += "\n";
        if (item.submenu != nullptr) {
            renderMenu(*item.submenu, indent + "    ", out);
        }
    }
}

}  // namespace
}  // namespace detail

using detail::Menu;
using detail::State;

std::vector<MenuState> menus() {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    std::vector<MenuState> result;
    result.push_back(detail::snapshot(detail::pluginsMenu(s)));
    for (auto &menu : s.menus) {
        result.push_back(detail::snapshot(*menu));
    }
    return result;
}

bool pickMenuItem(const std::string &menuName, const std::string &itemName) {
    XPLMMenuHandler_f handler = nullptr;
    void *menuRef = nullptr;
    void *itemRef = nullptr;
    {
        State &s = detail::state();
        std::lock_guard<std::mutex> lock(s.mu);
        Menu *menu = nullptr;
        if (menuName.empty()) {
            menu = &detail::pluginsMenu(s);
        } else {
            for (auto &candidate : s.menus) {
                if (candidate->name == menuName) {
                    menu = candidate.get();
                    break;
                }
            }
        }
        if (menu == nullptr || menu->handler == nullptr) {
            return false;
        }
        for (const detail::MenuItem &item : menu->items) {
            if (item.name == itemName) {
                handler = menu->handler;
                menuRef = menu->menuRef;
                itemRef = item.itemRef;
                break;
            }
        }
    }
    if (handler == nullptr) {
        return false;
    }
    TimedCall timed(CallKind::Menu);
    handler(menuRef, itemRef);
    return true;
}

// "Plugins", then each item a line: check mark column ("[x] ", "[ ] " or
// blank), name, "> submenu" for an item that opens one (its items follow,
// indented), " (disabled)" where disabled.
std::string menuText() {
    State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    std::string out = "Plugins\n";
    detail::renderMenu(detail::pluginsMenu(s), "  ", &out);
    for (auto &menu : s.menus) {
        if (menu->parent == nullptr) {
            out += menu->name + "\n";
            detail::renderMenu(*menu, "  ", &out);
        }
    }
    return out;
}

}  // namespace hostsim

using hostsim::detail::Menu;
using hostsim::detail::SdkCall;

extern "C" {

XPLMMenuID XPLMFindPluginsMenu(void) {
    SdkCall call("XPLMFindPluginsMenu");
    return &hostsim::detail::pluginsMenu(call.s);
}

XPLMMenuID XPLMCreateMenu(const char *inName, XPLMMenuID inParentMenu, int inParentItem,
                          XPLMMenuHandler_f inHandler, void *inMenuRef) {
    SdkCall call("XPLMCreateMenu");
    std::unique_ptr<Menu> menu(new Menu);
    menu->name = inName != nullptr ? inName : "";
    menu->handler = inHandler;
    menu->menuRef = inMenuRef;
    if (hostsim::detail::MenuItem *item = hostsim::detail::liveItem(call.s, inParentMenu, inParentItem)) {
        item->submenu = menu.get();
        menu->parent = hostsim::detail::liveMenu(call.s, inParentMenu);
    }
    call.s.menus.push_back(std::move(menu));
    return call.s.menus.back().get();
}

int XPLMAppendMenuItem(XPLMMenuID inMenu, const char *inItemName, void *inItemRef, int /*inDeprecatedAndIgnored*/) {
    SdkCall call("XPLMAppendMenuItem");
    Menu *menu = hostsim::detail::liveMenu(call.s, inMenu);
    if (menu == nullptr) {
        return -1;
    }
    hostsim::detail::MenuItem item;
    item.name = inItemName != nullptr ? inItemName : "";
    item.itemRef = inItemRef;
    menu->items.push_back(item);
    return static_cast<int>(menu->items.size() - 1);
}

void XPLMCheckMenuItem(XPLMMenuID inMenu, int index, XPLMMenuCheck inCheck) {
    SdkCall call("XPLMCheckMenuItem");
    if (hostsim::detail::MenuItem *item = hostsim::detail::liveItem(call.s, inMenu, index)) {
        item->check = inCheck;
    }
}

void XPLMEnableMenuItem(XPLMMenuID inMenu, int index, int enabled) {
    SdkCall call("XPLMEnableMenuItem");
    if (hostsim::detail::MenuItem *item = hostsim::detail::liveItem(call.s, inMenu, index)) {
        item->enabled = enabled != 0;
    }
}

}  // extern "C"
