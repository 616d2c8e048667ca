// The host's whole state, shared by the files that model one part of it each.
//
// One mutex guards everything: the SDK functions (meant for the simulator
// thread, but recorded rather than trusted when called from elsewhere), the
// drovanel_vhid_* functions (called from the plug-in's reader and refresh
// threads) and the test-side API. Plug-in callbacks (menu handlers, flight
// loops, widget callbacks) are always called with the mutex released, since
// they call back into the SDK.
//
// The state is created on first use and never destroyed: panel tables
// register from static initialisers, and plug-in threads may still be
// unwinding when the process exits.
#ifndef DROVANEL_HOSTSIM_STATE_H
#define DROVANEL_HOSTSIM_STATE_H

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "XPLMMenus.h"
#include "XPLMProcessing.h"
#include "XPWidgetDefs.h"
#include "hostsim/hostsim.h"

namespace hostsim {
namespace detail {

struct Dataref {
    std::string path;
    DataType type = DataType::Int;
    int size = 1;
    bool tablePublished = true;  // as registered; reset() returns to it
    bool published = true;
    bool simulator = false;  // a `sim/` path: published as the modelled version lists it
    bool writable = true;    // false: the plug-in's writes are ignored
    std::vector<int> ints;      // Int and IntArray
    std::vector<float> floats;  // Float, FloatArray and NumberArray
    std::vector<double> doubles;  // Number
    std::string aircraft;  // the aircraft add-on that publishes it, or ""
};

struct Command {
    std::string path;
};

struct Menu;
struct MenuItem {
    std::string name;
    void *itemRef = nullptr;
    bool enabled = true;
    int check = 0;
    Menu *submenu = nullptr;
};
struct Menu {
    std::string name;
    Menu *parent = nullptr;
    XPLMMenuHandler_f handler = nullptr;
    void *menuRef = nullptr;
    std::vector<MenuItem> items;
};

struct FlightLoop {
    XPLMFlightLoop_f callback;
    void *refcon;
    float interval;  // 0: registered but not scheduled
};

struct Widget {
    int widgetClass = 0;
    int left = 0, top = 0, right = 0, bottom = 0;
    bool visible = false;
    bool root = false;
    Widget *parent = nullptr;
    std::vector<Widget *> children;
    std::string descriptor;
    std::map<int, intptr_t> properties;
    std::vector<XPWidgetFunc_t> callbacks;  // oldest first
};

struct Device {
    int number = 0;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::string path;
    bool attached = true;
    bool failOpen = false;
    bool refuseWrites = false;
    bool failReads = false;
    bool failGetFeature = false;
    std::deque<std::vector<std::uint8_t>> input;
    std::vector<std::vector<std::uint8_t>> features;
    std::vector<std::uint8_t> featureAnswer;
    long readAttempts = 0;
    int opens = 0;
    int openNow = 0;
    int appearances = 1;  // plugged in this many times; names the path of each (Replug::NewPath)
};

// An open device. Blocked readers hold their own reference, so reset() and
// close can drop a handle while a read still sleeps on it.
struct DeviceHandle {
    std::shared_ptr<Device> device;
    bool cancelled = false;
    bool gone = false;  // its device was unplugged: a replug does not revive it
};

// The calls into the plug-in of one kind (CallKind).
struct CallRecord {
    long count = 0;
    std::int64_t longestNs = 0;
    std::int64_t totalNs = 0;
};

struct State {
    std::mutex mu;
    // Wakes blocked reads and waitFeature(): signalled on every input,
    // cancel, close, detach, fault change, feature write and reset.
    std::condition_variable vhidChanged;

    std::thread::id simThread;
    std::vector<std::string> offThreadCalls;
    CallRecord callRecords[kCallKindCount];

    // Datarefs and commands keep their objects for the process's life so
    // that handles stay valid pointers across reset().
    std::map<std::string, std::unique_ptr<Dataref>> datarefs;
    std::vector<DatarefWrite> datarefWrites;
    std::map<std::string, std::unique_ptr<Command>> commands;
    std::set<std::string> hiddenCommands;
    std::vector<CommandCall> journal;
    int nullCommandFaults = 0;

    SimulatorVersion version = SimulatorVersion::XPlane12;
    // Names the plug-in looked up; std::less<> finds without making a string.
    std::set<std::string, std::less<>> datarefsAsked;
    std::set<std::string, std::less<>> commandsAsked;

    std::string log;

    std::unique_ptr<Menu> pluginsMenu;
    std::vector<std::unique_ptr<Menu>> menus;  // created menus, in order

    std::vector<FlightLoop> flightLoops;
    float lastInterval = 0.0f;
    int flightLoopCounter = 0;

    std::vector<std::string> pluginNames;  // index = plug-in id

    std::string chosenPrefsFolder;  // setPrefsFolder(); survives reset()
    std::string tempPrefsFolder;    // made by the host, removed on reset
    std::string prefsFolder;        // the one in use

    std::string userAircraft;  // full path of the user's .acf file
    std::string publishedAircraft;  // the add-on whose names are published, or ""
    std::string pendingAircraft;    // loaded, its names not yet published
    std::string pluginFile;         // setPluginFile(); survives reset()

    std::vector<std::unique_ptr<Widget>> widgets;  // live, creation order
    // Destroyed widgets stay allocated until reset() so that a stale id never
    // aliases a newer widget.
    std::vector<std::unique_ptr<Widget>> destroyedWidgets;
    Widget *frontRoot = nullptr;

    std::vector<std::shared_ptr<Device>> devices;  // index = device number
    Replug replug = Replug::NewPath;
    std::map<std::uintptr_t, std::shared_ptr<DeviceHandle>> handles;
    std::uintptr_t nextHandle = 1;  // never reused, not even across reset()

    // Listing faults and counts (vhid.cpp).
    int failListings = 0;             // count calls left that name one device too many
    long listingCalls = 0;            // drovanel_vhid_count calls
    long simThreadDeviceCalls = 0;    // count, info and open calls from the simulator thread
    int listChangeAfter = -1;         // info calls left before listChange runs
    std::function<void()> listChange;
};

State &state();

// Locks the host for one SDK call and records the call if it comes from a
// thread other than the simulator's.
class SdkCall {
public:
    explicit SdkCall(const char *name);
    std::unique_lock<std::mutex> lock;
    State &s;
};

// Resets of the parts that need more than clearing; called under the lock.
void resetDatarefValues(State &s);
// Adds every dataref of the simulator's lists (once, as the state is made).
void registerSimulatorDatarefs(State &s);
// Publishes, types and sizes the `sim/` datarefs as s.version lists them.
void applySimulatorVersion(State &s);
void resetPrefsFolder(State &s);
void removeTempFolder(State &s);
// Puts the default aircraft in place; after resetPrefsFolder().
void resetAircraft(State &s);

// A new dataref object (its handle known to the host) and its values
// cleared for its type and size.
Dataref &newDataref(const std::string &path);
void clearDatarefValues(Dataref &d);

// Adds every add-on's datarefs, unpublished (once, as the state is made).
void registerAircraftDatarefs(State &s);
// Unpublishes every aircraft add-on's names; under the lock.
void unpublishAircraftNames(State &s);
// Publishes the named add-on's names (creating its datarefs on first use).
void publishAircraftNamesOf(State &s, const std::string &folder);
// Whether the command belongs to an add-on that is not published now.
bool aircraftCommandHidden(State &s, const std::string &name);
// The add-on whose .acf file name the path ends with (any letter case), or "".
std::string aircraftFolderFor(const std::string &acfPath);

// Widgets: the live widget with this id, or nullptr.
Widget *liveWidget(State &s, void *id);

// Adds a looked-up name to one of the sets above.
void noteAsked(std::set<std::string, std::less<>> &asked, const char *name);

// Copies text into a C buffer of capacity bytes, always terminated.
void copyText(const std::string &text, char *buffer, std::size_t capacity);

}  // namespace detail
}  // namespace hostsim

#endif
