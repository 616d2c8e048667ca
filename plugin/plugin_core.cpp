#include "plugin_core.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "XPLMMenus.h"
#include "XPLMPlugin.h"
#include "XPLMProcessing.h"
#include "XPLMUtilities.h"
#include "behaviour.h"
#include "device_watch.h"
#include "discovery.h"
#include "panel_factory.h"
#include "preferences_file.h"
#include "preferences_window.h"
#include "profile/profile_selection.h"
#include "radiopanel/radiopanel.h"
#include "slot_devices.h"
#include "tick.h"

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
    SlotDevices devices;
    std::vector<ListedDevice> listing;  // the watch's list, taken when it changed
    PickupDemand demand;                // what the slots want of the watch's pickup
    std::string pickedKey;              // a picked-up device's key
    profile::ProfileSelector profiles;
};
Globals g;

// Runs while the plug-in is enabled.
DeviceWatch &watch() {
    static DeviceWatch instance(listSystemDevices, kDeviceWatchPeriodMs, openListedDevice);
    return instance;
}

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

bool isRadioSlot(PanelSlot slot) { return slot == PanelSlot::Radiopanel1 || slot == PanelSlot::Radiopanel2; }

void enableRadioItem(PanelSlot slot) {
    XPLMEnableMenuItem(g.menu, radioItem(slot), slotRef(slot) != nullptr ? 1 : 0);
}

// Items 1 and 2 as their slots stand: enabled over a Radio Panel, checked
// as its DME option says. Run after every re-creation of the panels, since
// a Radio Panel may come back in the other slot.
void showRadioItems() {
    for (PanelSlot slot : {PanelSlot::Radiopanel1, PanelSlot::Radiopanel2}) {
        enableRadioItem(slot);
        checkRadioItem(slot);
    }
}

void logPanelLine(const AbstractPanel &panel, const char *what) {
    std::string line = "Drovanel : " + panel.panelName() + what;
    XPLMDebugString(line.c_str());
}

class CoreRegistry : public PanelRegistry {
public:
    // A hot-plug registry leaves held and failed devices alone and brings
    // each panel it adopts up as if it had been there at the aircraft load.
    explicit CoreRegistry(bool hotPlug) : hotPlug_(hotPlug) {}

    bool slotEmpty(PanelSlot slot) const override { return g.slots[static_cast<int>(slot)] == nullptr; }
    void adopt(PanelSlot slot, AbstractPanel *panel) override {
        slotRef(slot) = panel;
        if (isRadioSlot(slot)) checkRadioItem(slot);
    }
    bool ignoreSwitchPanel() const override { return g.ignoreSwitchPanel; }

    void adoptedFrom(PanelSlot slot, const std::string &deviceKey) override {
        g.devices.held(slot, deviceKey);
        if (!hotPlug_) return;
        // The driver's constructor made its bindings as an aircraft load does.
        AbstractPanel *panel = slotRef(slot);
        if (isRadioSlot(slot)) enableRadioItem(slot);
        panel->bindProfile(g.profiles.current());
        logPanelLine(*panel, " connected\n");
    }
    void openFailed(const std::string &deviceKey) override {
        g.devices.openFailed(deviceKey);
        // Discovery named it already: the watch's pickup leaves it alone.
        watch().pickup().reportedElsewhere(deviceKey);
    }
    bool skipDevice(const std::string &deviceKey) const override { return hotPlug_ && g.devices.skip(deviceKey); }

private:
    bool hotPlug_;
};

// Tells the watch's pickup which slots to fill; after every change of the
// slots.
void publishDemand() {
    for (int i = 0; i < kPanelSlotCount; ++i) {
        g.demand.slotEmpty[i] = g.slots[i] == nullptr;
        g.demand.held[i] = g.devices.heldKey(static_cast<PanelSlot>(i));
    }
    g.demand.ignoreSwitchPanel = g.ignoreSwitchPanel;
    watch().pickup().setDemand(g.demand);
    // A slot just emptied may be waited for by a panel already listed.
    for (bool empty : g.demand.slotEmpty) {
        if (empty) {
            watch().lookSoon();
            break;
        }
    }
}

// Every panel takes the aircraft's profile now chosen (nullptr: none).
void bindProfileToPanels() {
    for (AbstractPanel *panel : g.slots) {
        if (panel != nullptr) panel->bindProfile(g.profiles.current());
    }
}

void discover() {
    CoreRegistry registry(false);
    discoverPanels(systemDeviceServices(), registry, createPanel);
    publishDemand();
    bindProfileToPanels();
}

// Chooses the profile for the aircraft now loaded and binds it.
void chooseProfile() {
    if (g.profiles.aircraftLoaded(currentTick())) bindProfileToPanels();
}

void disconnect(PanelSlot slot) {
    AbstractPanel *panel = slotRef(slot);
    panel->bindProfile(nullptr);  // releases what the profile holds
    panel->teardown();  // writes the settings file
    slotRef(slot) = nullptr;
    g.devices.released(slot);
    if (isRadioSlot(slot)) {
        enableRadioItem(slot);
        checkRadioItem(slot);
    }
    logPanelLine(*panel, " disconnected\n");
    delete panel;
}

// Logs the devices the watch's pickup gave up opening.
void logGiveUps() {
    std::string path;
    std::uint32_t error = 0;
    while (watch().pickup().takeGiveUp(&path, &error)) {
        std::string line = "Drovanel : cannot open " + path + ": " + openErrorText(error) + "\n";
        XPLMDebugString(line.c_str());
    }
}

// Builds the drivers of the devices the watch's pickup opened for empty
// slots; a device whose slot was filled meanwhile is closed. True when a
// panel was adopted.
bool adoptPickedUp() {
    bool adopted = false;
    for (int i = 0; i < kPanelSlotCount; ++i) {
        const PanelSlot slot = static_cast<PanelSlot>(i);
        HidDevice *device = watch().pickup().take(slot, &g.pickedKey);
        if (device == nullptr) continue;
        CoreRegistry registry(true);
        const bool ignored = slot == PanelSlot::Switchpanel && registry.ignoreSwitchPanel();
        if (!registry.slotEmpty(slot) || ignored || g.devices.skip(g.pickedKey)) {
            delete device;
            continue;
        }
        adoptDevice(registry, createPanel, slot, device, g.pickedKey);
        adopted = true;
    }
    return adopted;
}

// The flight loop's first step: panels whose device went are torn down and
// the devices the watch opened for empty slots are adopted. Costs a few
// atomic loads when nothing came or went; no listing or opening happens
// here.
void serviceHotPlug() {
    bool changed = watch().takeChange();
    bool picked = watch().pickup().ready();
    bool readerSawGone = false;
    for (AbstractPanel *panel : g.slots) {
        if (panel != nullptr && panel->deviceGone()) readerSawGone = true;
    }
    if (!changed && !readerSawGone && !picked) return;

    unsigned unlisted = 0;
    if (changed) {
        watch().snapshot(&g.listing);
        unlisted = g.devices.goneSlots(g.listing);
    }
    bool slotsChanged = false;
    for (int i = 0; i < kPanelSlotCount; ++i) {
        AbstractPanel *panel = g.slots[i];
        if (panel == nullptr) continue;
        // A reader may have seen its device go since the scan above: its
        // news counts as the scan's, or a device picked up before the
        // panel left would be taken for its return.
        const bool gone = panel->deviceGone();
        readerSawGone = readerSawGone || gone;
        if (gone || (unlisted & (1u << i)) != 0) {
            disconnect(static_cast<PanelSlot>(i));
            slotsChanged = true;
        }
    }
    // A reader's news comes before the list shows it: a fresh list tells
    // whether the panel is back (plugged in again at once) or gone.
    if (readerSawGone) {
        publishDemand();
        watch().listSoon();
        return;
    }
    if (picked) {
        logGiveUps();
        slotsChanged = adoptPickedUp() || slotsChanged;
    }
    if (slotsChanged) publishDemand();
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
void deviceWatchListNow() { watch().listNow(); }

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
    g.devices = SlotDevices();
    g.listing.clear();
    // Started first, so that a panel plugged in during discovery is listed.
    watch().start();
    discover();
    showRadioItems();
    chooseProfile();
    XPLMRegisterFlightLoopCallback(flightLoopCallback, kFlightLoopInterval, nullptr);
    return 1;
}

void pluginDisable() {
    XPLMUnregisterFlightLoopCallback(flightLoopCallback, nullptr);
    watch().stop();
    deleteAllPanels();
    g.profiles.clear();
}

void pluginStop() {
    watch().stop();
    deleteAllPanels();
    if (g.window != nullptr) {
        delete g.window;  // destroys the root widget with its children
        g.window = nullptr;
    }
}

void deleteAllPanels() {
    // The BIP comes last, as in every walk; each teardown writes the panel's
    // settings file. All threads are told first, so that they end together.
    for (AbstractPanel *panel : g.slots) {
        if (panel != nullptr) panel->stopSoon();
    }
    for (AbstractPanel *&panel : g.slots) {
        if (panel == nullptr) continue;
        panel->bindProfile(nullptr);
        panel->teardown();
        delete panel;
        panel = nullptr;
    }
    g.devices.releaseAll();
}

float flightLoopCallback(float, float, int, void *) {
    serviceHotPlug();
    if (g.profiles.poll(currentTick())) bindProfileToPanels();
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
        // The x737's announcement is no aircraft load: the profile stays.
        if (number == XPLM_MSG_PLANE_LOADED) chooseProfile();
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
            showRadioItems();
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
