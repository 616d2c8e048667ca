#include "plugin_core.h"

#include <cstdint>
#include <cstring>

#include "XPLMMenus.h"
#include "XPLMPlugin.h"
#include "XPLMProcessing.h"
#include "XPLMUtilities.h"
#include "behaviour.h"
#include "discovery.h"
#include "panel_factory.h"
#include "preferences_file.h"
#include "preferences_window.h"
#include "radiopanel/radiopanel.h"

namespace drovanel {

const PluginIdentity kWindowsIdentity = {
    "Drovanel for Windows 1.4.0", "tamlor.usb.win.Drovanel",
    "Driver for Saitek Multipanel, Switchpanel, Radiopanel and Backlit Information Panel on Windows XP,Vista,7"};
const PluginIdentity kLinuxIdentity = {
    "Drovanel for Linux 1.4.0", "tamlor.usb.lin.Drovanel",
    "Driver for Saitek Multipanel, Switchpanel, Radiopanel and Backlit Information Panel on Linux"};

namespace {

constexpr float kFlightLoopInterval = 0.05f;
constexpr unsigned kMsgX737Announce = 0x88888880u;
constexpr int kHostNameSize = 256;

enum MenuItem { kItemIgnoreSwitchPanel = 0, kItemRadio1Dme, kItemRadio2Dme, kItemPreferences, kMenuItemCount };

struct Globals {
    AbstractPanel *slots[kPanelSlotCount] = {};
    XPLMMenuID menu = nullptr;
    int items[kMenuItemCount] = {};
    bool ignoreSwitchPanel = false;
    PreferencesWindow *window = nullptr;
};
Globals g;

AbstractPanel *&slotRef(PanelSlot slot) { return g.slots[static_cast<int>(slot)]; }

const char *const kUpdateTraces[kPanelSlotCount] = {"...multipanel ", "...switchpanel ", "...radiopanel 1 ",
                                                     "...radiopanel 2 ", "...bip 1 "};
const char *const kInitTraces[kPanelSlotCount] = {"...multipanel ", "...switch ", "...radio 1 ", "...radio 2 ",
                                                   "...bip 1 "};

// The Radio Panel in a slot; discovery puts nothing else there.
Radiopanel *radioIn(PanelSlot slot) { return dynamic_cast<Radiopanel *>(slotRef(slot)); }

int radioItem(PanelSlot slot) { return g.items[slot == PanelSlot::Radiopanel1 ? kItemRadio1Dme : kItemRadio2Dme]; }

void checkItem(int item, bool on) { XPLMCheckMenuItem(g.menu, item, on ? xplm_Menu_Checked : xplm_Menu_Unchecked); }

void checkRadioItem(PanelSlot slot) {
    Radiopanel *panel = radioIn(slot);
    checkItem(radioItem(slot), panel != nullptr && panel->dmeInSecondSegment());
}

class CoreRegistry : public PanelRegistry {
public:
    bool slotEmpty(PanelSlot slot) const override { return g.slots[static_cast<int>(slot)] == nullptr; }
    void adopt(PanelSlot slot, AbstractPanel *panel) override {
        slotRef(slot) = panel;
        if (slot == PanelSlot::Radiopanel1 || slot == PanelSlot::Radiopanel2) checkRadioItem(slot);
    }
    bool ignoreSwitchPanel() const override { return g.ignoreSwitchPanel; }
};

void discover() {
    CoreRegistry registry;
    discoverPanels(systemDeviceServices(), registry, createPanel);
}

void initializeAll() {
    for (int i = 0; i < kPanelSlotCount; ++i) {
        if (g.slots[i] == nullptr) continue;
        g.slots[i]->initialize();
        if (!kBehaviour32) XPLMDebugString(kInitTraces[i]);
    }
}

void toggleDme(PanelSlot slot) {
    Radiopanel *panel = radioIn(slot);
    if (panel == nullptr) return;
    panel->toggleDmeInSecondSegment();
    checkRadioItem(slot);
}

}  // namespace

AbstractPanel *panelInSlot(PanelSlot slot) { return slotRef(slot); }
bool ignoreSwitchPanelSet() { return g.ignoreSwitchPanel; }

int pluginStart(const PluginIdentity &identity, char *outName, char *outSig, char *outDesc) {
    std::strcpy(outName, identity.name);
    std::strcpy(outSig, identity.signature);
    std::strcpy(outDesc, identity.description);

    int item = XPLMAppendMenuItem(XPLMFindPluginsMenu(), "Drovanel", nullptr, 1);
    g.menu = XPLMCreateMenu("drovanel", XPLMFindPluginsMenu(), item, menuHandler, nullptr);
    static const char *const kItemNames[kMenuItemCount] = {"Ignore Switchpanel", "1. Radiopanel DME in 2nd segment",
                                                           "2. Radiopanel DME in 2nd segment", "Preferences..."};
    for (int i = 0; i < kMenuItemCount; ++i) {
        // The item reference is the character '0' + index.
        g.items[i] = XPLMAppendMenuItem(g.menu, kItemNames[i], reinterpret_cast<void *>(std::intptr_t{'0' + i}), 1);
    }
    return 1;
}

int pluginEnable() {
    readPreferences(&g.ignoreSwitchPanel);
    checkItem(g.items[kItemIgnoreSwitchPanel], g.ignoreSwitchPanel);
    discover();
    XPLMEnableMenuItem(g.menu, g.items[kItemRadio1Dme], slotRef(PanelSlot::Radiopanel1) != nullptr ? 1 : 0);
    XPLMEnableMenuItem(g.menu, g.items[kItemRadio2Dme], slotRef(PanelSlot::Radiopanel2) != nullptr ? 1 : 0);
    checkRadioItem(PanelSlot::Radiopanel1);
    checkRadioItem(PanelSlot::Radiopanel2);
    XPLMRegisterFlightLoopCallback(flightLoopCallback, kFlightLoopInterval, nullptr);
    return 1;
}

void pluginDisable() {
    XPLMUnregisterFlightLoopCallback(flightLoopCallback, nullptr);
    deleteAllPanels();
}

void pluginStop() {
    deleteAllPanels();
    if (g.window != nullptr) {
        delete g.window;  // destroys the root widget with its children
        g.window = nullptr;
    }
}

void deleteAllPanels() {
    // The BIP comes last, as in every walk; each teardown writes the panel's
    // settings file.
    for (AbstractPanel *&panel : g.slots) {
        if (panel == nullptr) continue;
        panel->teardown();
        delete panel;
        panel = nullptr;
    }
}

float flightLoopCallback(float, float, int, void *) {
    if (!kBehaviour32) XPLMDebugString("Drovane : callback ");
    for (int i = 0; i < kPanelSlotCount; ++i) {
        if (g.slots[i] == nullptr) continue;
        g.slots[i]->update();
        if (!kBehaviour32) XPLMDebugString(kUpdateTraces[i]);
    }
    if (!kBehaviour32) XPLMDebugString("...callback done\n");
    return kFlightLoopInterval;
}

void pluginReceiveMessage(XPLMPluginID from, int message, void *) {
    char name[kHostNameSize] = {};
    XPLMGetPluginInfo(from, name, nullptr, nullptr, nullptr);
    name[kHostNameSize - 1] = '\0';
    unsigned number = static_cast<unsigned>(message);
    const char *setup = nullptr;
    if (std::strcmp(name, "X-Plane") == 0 && number == XPLM_MSG_PLANE_LOADED) {
        setup = "Drovanel : X-Plane 102 setup\n";
    } else if (std::strcmp(name, "x737plugin") == 0 && number == kMsgX737Announce) {
        setup = "Drovanel : x737plugin setup\n";
    }
    if (setup != nullptr) {
        XPLMDebugString(setup);
        if (!kBehaviour32) XPLMDebugString("Drovanel : init");
        initializeAll();
    }
    if (!kBehaviour32) XPLMDebugString("...done\n");
}

void menuHandler(void *, void *itemRef) {
    if (itemRef == nullptr) {
        XPLMDebugString("Drovanel : menu callback - no item ref\n");
        return;
    }
    switch (static_cast<char>(reinterpret_cast<std::intptr_t>(itemRef) & 0xFF)) {
        case '0':
            g.ignoreSwitchPanel = !g.ignoreSwitchPanel;
            writePreferences(g.ignoreSwitchPanel);
            deleteAllPanels();
            readPreferences(&g.ignoreSwitchPanel);
            discover();
            checkItem(g.items[kItemIgnoreSwitchPanel], g.ignoreSwitchPanel);
            break;
        case '1': toggleDme(PanelSlot::Radiopanel1); break;
        case '2': toggleDme(PanelSlot::Radiopanel2); break;
        case '3':
            if (g.window == nullptr) g.window = new PreferencesWindow();
            g.window->open();
            break;
        default: break;
    }
}

}  // namespace drovanel
