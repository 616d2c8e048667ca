// The stand-in host: a working model of the simulator's SDK (datarefs,
// commands, log, menus, flight loop, messages, preferences folder, widgets),
// the virtual panels behind the drovanel_vhid_* contract, and a loader for
// built plug-ins. Tests and drovanel-sim drive it through this interface.
//
// Threads: the thread that last called reset() is the simulator thread.
// Every SDK call from another thread is recorded (offThreadCalls()).
// The accessors that return references (datarefWrites, commandJournal, log)
// give the host's live record: read them on the simulator thread.
// Naming a dataref path or device number the host does not know throws
// (std::invalid_argument, std::out_of_range): that is a mistake in the test.
#ifndef DROVANEL_HOSTSIM_HOSTSIM_H
#define DROVANEL_HOSTSIM_HOSTSIM_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace hostsim {

// ---------------------------------------------------------------- general
// Forgets everything: datarefs back to their table defaults (published or
// not as tabled), empty journals and log, no menus, widgets, callbacks or
// devices; a fresh empty preferences folder (a temporary directory unless
// setPrefsFolder() chose one). Marks the calling thread as the simulator's.
void reset();

// ---------------------------------------------------------------- the simulator modelled
// The host publishes the `sim/` datarefs and commands that the modelled
// version's own lists hold (hostsim/xplane-names/), with the listed types,
// array sizes and writability; a name they lack finds NULL, as in that
// simulator. Other names (aircraft plug-ins') are published as registered.
// reset() returns to X-Plane 12. Switching keeps dataref handles valid and
// keeps values whose type and size stay the same.
enum class SimulatorVersion { XPlane1140, XPlane12 };
void setSimulatorVersion(SimulatorVersion version);
SimulatorVersion simulatorVersion();
const char *simulatorVersionName(SimulatorVersion version);  // "11.40", "12"
bool parseSimulatorVersion(const std::string &text, SimulatorVersion *version);  // "11.40" or "12"
// Whether that version's lists hold the name (whatever the dataref's type).
bool simulatorListsDataref(SimulatorVersion version, const std::string &path);
bool simulatorListsCommand(SimulatorVersion version, const std::string &path);

// Every name the plug-in looked up through XPLMFindDataRef or
// XPLMFindCommand since reset() or clearNamesAsked(), each once: the
// datarefs, then the commands, each in name order.
struct NameAsked {
    bool command;  // false: a dataref
    std::string name;
    bool operator<(const NameAsked &other) const {
        return command != other.command ? command < other.command : name < other.name;
    }
};
std::vector<NameAsked> namesAsked();
void clearNamesAsked();

// ---------------------------------------------------------------- datarefs
// Number: one value readable and writable as int, float and double at once
// (as an aircraft's scripts publish theirs); NumberArray: an array read and
// written as float or int elements.
enum class DataType { Int, Float, IntArray, FloatArray, Number, NumberArray };

struct DatarefSpec {
    const char *path;
    DataType type;
    int size;        // array length; 1 for scalars
    bool published;  // false: found only after publish() (another plug-in's)
};

// Adds a table of datarefs to the host (each panel's folder contributes one).
// Re-registering a path replaces its table entry. Tables survive reset().
// A `sim/` path follows the simulator's lists whatever the table says: its
// entry here only makes a name the lists lack known (and never published).
void registerDatarefs(const DatarefSpec *specs, std::size_t count);

void publish(const std::string &path);    // makes a late dataref findable
void unpublish(const std::string &path);  // XPLMFindDataRef gives NULL again
bool isPublished(const std::string &path);
bool isKnown(const std::string &path);

void setInt(const std::string &path, int value);
void setFloat(const std::string &path, float value);
void setIntAt(const std::string &path, int index, int value);
void setFloatAt(const std::string &path, int index, float value);
int getInt(const std::string &path);
float getFloat(const std::string &path);
int getIntAt(const std::string &path, int index);
float getFloatAt(const std::string &path, int index);

// Every write the plug-in made through XPLMSetData*, in order. Writes to a
// dataref the simulator lists as read-only are ignored and not recorded.
struct DatarefWrite {
    std::string path;
    int index;      // first element for array writes, 0 for scalars
    double value;   // the (first) value written
    int count;      // elements written (1 for scalars)
};
const std::vector<DatarefWrite> &datarefWrites();
void clearDatarefWrites();

// ---------------------------------------------------------------- commands
// XPLMFindCommand finds the modelled simulator's listed `sim/` commands and
// every other path, except those hidden here.
void hideCommand(const std::string &path);

enum class CommandPhase { Once, Begin, End };
struct CommandCall {
    CommandPhase phase;
    std::string path;
};
const std::vector<CommandCall> &commandJournal();
void clearCommandJournal();
// Command calls made through a NULL handle (a fault in the real host).
int nullCommandFaults();

// ---------------------------------------------------------------- log
const std::string &log();  // every XPLMDebugString byte, verbatim
void clearLog();

// ---------------------------------------------------------------- threads
// One line per SDK call made off the simulator thread ("XPLMGetDatai" ...).
std::vector<std::string> offThreadCalls();

// ---------------------------------------------------------------- call timing
// How long each call into the plug-in held the calling thread (the
// simulator's), by kind: the entry points, flight-loop callbacks, messages,
// menu handlers and widget callbacks. A call made from inside another one
// (the xpMsg_Create that XPCreateWidget sends while the plug-in builds its
// window) belongs to the outer call and is not counted apart.
enum class CallKind { Start, Enable, Disable, Stop, FlightLoop, Message, Menu, Widget };
constexpr int kCallKindCount = 8;
struct CallTimes {
    long count = 0;
    double longestSeconds = 0.0;
    double totalSeconds = 0.0;
};
CallTimes callTimes(CallKind kind);
void clearCallTimes();  // reset() clears them too

// Times one call into a plug-in that the caller makes itself (tests and
// benchmarks calling the core's entry points linked into their binary), the
// way the host times its own: constructed just before the call, destroyed
// just after it.
class TimedCall {
public:
    explicit TimedCall(CallKind kind);
    ~TimedCall();
    TimedCall(const TimedCall &) = delete;
    TimedCall &operator=(const TimedCall &) = delete;

private:
    CallKind kind_;
    bool outermost_;
    std::int64_t beginNs_;
};

// ---------------------------------------------------------------- menus
struct MenuItemState {
    std::string name;
    void *itemRef;
    bool enabled;
    int check;  // 0 none, 1 unchecked, 2 checked
};
struct MenuState {
    std::string name;        // "" for the host's Plugins menu
    std::vector<MenuItemState> items;
};
// The Plugins menu first, then every created menu in creation order.
std::vector<MenuState> menus();
// Calls the handler of the named item of the named menu ("" names the
// Plugins menu), enabled or not (menus() tells which); false if none.
bool pickMenuItem(const std::string &menuName, const std::string &itemName);
// The menus as a person sees them, one item a line.
std::string menuText();

// ---------------------------------------------------------------- flight loop
bool flightLoopRegistered();
// Calls every registered flight-loop callback n times (0.05 s apart).
void runFlightLoops(int n);
// The interval the callback returned last time.
float lastFlightLoopInterval();
// Registered callbacks; a plug-in that registers twice shows 2.
int flightLoopCount();

// ---------------------------------------------------------------- plug-ins and messages
// A plug-in known to the host; id 0 is "X-Plane" itself.
int addPluginIdentity(const std::string &name);

// ---------------------------------------------------------------- preferences
void setPrefsFolder(const std::string &folder);  // survives reset()
std::string prefsFolder();
std::string prefsFile(const std::string &fileName);  // folder + "/" + name

// ---------------------------------------------------------------- aircraft
// The user's aircraft as XPLMGetNthAircraftModel(0, ...) reports it: the
// full path of its .acf file (no other index has an aircraft). reset()
// puts the default aircraft in place, at defaultAircraft(), whose folder is
// not created. Loading an aircraft does not message the plug-ins: the
// caller sends "X-Plane" 102, as the simulator does once it has loaded it.
// An aircraft whose names the host knows (aircraftNames()) publishes them
// at the load, or only at publishAircraftNames() when publishNow is false
// (an aircraft whose own plug-in publishes a little later); the previous
// aircraft's names are unpublished.
void setUserAircraft(const std::string &acfPath, bool publishNow = true);
void publishAircraftNames();
std::string userAircraft();
std::string defaultAircraft();  // in the preferences folder: Aircraft/Trainer/Trainer.acf

// The aircraft add-ons whose names the host models (hostsim/aircraft-names/):
// while one is the user's aircraft (its .acf file name, in any letter
// case), its datarefs are published with their types and writability and
// its commands are found; otherwise neither is.
struct AircraftNameList {
    std::string folder;   // "zibo-737"
    std::string acfFile;  // "b738.acf"
    // name -> "number", "array[N]" or "string"; writable names in `writable`.
    std::vector<std::pair<std::string, std::string>> datarefs;
    std::vector<std::string> writable;
    std::vector<std::string> commands;
};
const std::vector<AircraftNameList> &aircraftNames();
// The folder of the aircraft whose names are published now, or "".
std::string publishedAircraft();

// The plug-in's own file as XPLMGetPluginInfo(XPLMGetMyID()) reports it
// (the package's profiles/ folder is found from it). Survives reset().
void setPluginFile(const std::string &path);

// ---------------------------------------------------------------- widgets
using WidgetId = void *;
struct WidgetState {
    WidgetId id;
    int widgetClass;
    int left, top, right, bottom;
    std::string descriptor;
    bool visible;
    bool root;
    WidgetId parent;
};
std::vector<WidgetState> widgets();  // in creation order, live ones only
WidgetId findWidget(const std::string &descriptor, int widgetClass);
long widgetProperty(WidgetId id, int property, bool *exists = nullptr);
WidgetId frontRoot();
// What a person does: type replaces the field's text; press sends
// xpMsg_PushButtonPressed; tick toggles a check box and sends
// xpMsg_ButtonStateChanged. False when the widget is not there.
bool typeInto(WidgetId field, const std::string &text);
bool pressButton(WidgetId button);
bool tickCheckBox(WidgetId box);
// The window under root as text: captions, field texts, buttons, check
// boxes, with "(disabled)" where a widget's enabled property is 0.
std::string renderWindow(WidgetId root);

// ---------------------------------------------------------------- loader
// A plug-in file loaded as the simulator loads one (dlopen, RTLD_NOW).
class Plugin {
public:
    Plugin() = default;
    ~Plugin();
    Plugin(const Plugin &) = delete;
    Plugin &operator=(const Plugin &) = delete;

    bool load(const std::string &file, std::string *error);
    bool loaded() const { return handle_ != nullptr; }
    int start(std::string *name, std::string *signature, std::string *description);
    int enable();
    void disable();
    void stop();
    // Delivers a message from the plug-in registered under senderName.
    void sendMessage(const std::string &senderName, int message, void *param = nullptr);
    void unload();

private:
    void *handle_ = nullptr;
    void *start_ = nullptr;
    void *enable_ = nullptr;
    void *disable_ = nullptr;
    void *stop_ = nullptr;
    void *receive_ = nullptr;
};

// The plug-in code linked into the same binary (tests that call the entry
// points directly) receives messages through this.
void deliverMessage(void (*receive)(int, int, void *), const std::string &senderName, int message,
                    void *param = nullptr);

// ---------------------------------------------------------------- virtual panels
enum class PanelKind { Multi, Radio, Switch, Bip };
std::uint16_t productId(PanelKind kind);

// Attaches a device at the end of the list; returns its device number.
int attach(PanelKind kind);
int attachDevice(std::uint16_t vendorId, std::uint16_t productId);
// Unplugs: pending and later reads on its handles return 0, their feature
// reports are refused, opens fail, it leaves the list.
void detach(int device);
// Plugs an unplugged device back in at its place in the list. Handles from
// before stay gone.
void plug(int device);
// Which path plug() gives a device's new appearance: one of its own
// ("vhid:3.2" for device 3's second), as the Linux kernel names each
// appearance anew, or the path it had, as Windows does for a panel plugged
// back into the same port (the list then looks as before). reset() makes
// it NewPath.
enum class Replug { NewPath, SamePath };
void setReplug(Replug how);
// The device's path in the list now.
std::string devicePath(int device);
int deviceCount();
bool deviceOpen(int device);  // opened by the plug-in and not closed
int openCount(int device);    // how many times it was opened

// Queues one input report (report id first) for the device's reader.
void queueInput(int device, const std::vector<std::uint8_t> &report);
// Reports queued but not yet read.
int pendingInput(int device);

// Every feature report written, in order (buffer[0] is the report id).
std::vector<std::vector<std::uint8_t>> featureReports(int device);
// The latest written feature report with that report id and length, or empty.
std::vector<std::uint8_t> latestFeature(int device, std::uint8_t reportId, std::size_t length);
// Blocks until a feature report with that id and length is written after
// `after` reports, or timeoutMs passes; returns it or empty.
std::vector<std::uint8_t> waitFeature(int device, std::uint8_t reportId, std::size_t length,
                                      std::size_t after, int timeoutMs);
// What get_feature answers (buffer[0] is kept as asked).
void setFeatureAnswer(int device, const std::vector<std::uint8_t> &answer);

// Faults.
void failOpen(int device, bool fail);
void refuseFeatureWrites(int device, bool refuse);
void failReads(int device, bool fail);  // reads return -1 until cleared
void failGetFeature(int device, bool fail);
// Reads attempted on the device (to see that a failing reader does not spin).
long readAttempts(int device);

// Listing faults: the next `times` counts name one device more than the
// list holds, so that no listing taken then can be completed.
void failListings(int times);
// Runs change (any host calls) right before the list answers its
// (infoCalls + 1)-th drovanel_vhid_info call from now: the list changes
// between two calls of one walk.
void changeListAfter(int infoCalls, std::function<void()> change);
// drovanel_vhid_count calls so far.
long listingCalls();
// drovanel_vhid_count, _info and _open calls made on the simulator thread.
long simThreadDeviceCalls();

}  // namespace hostsim

#endif
