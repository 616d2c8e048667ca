// The SDK model: datarefs, commands, log, menus, flight loop, plug-in
// identities, preferences path and the simulator-thread check.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "XPLMDataAccess.h"
#include "XPLMMenus.h"
#include "XPLMPlanes.h"
#include "XPLMPlugin.h"
#include "XPLMProcessing.h"
#include "XPLMUtilities.h"
#include "XPStandardWidgets.h"
#include "XPWidgets.h"
#include "hostsim/hostsim.h"

namespace {

using hostsim::DataType;

const hostsim::DatarefSpec kTable[] = {
    {"test/int", DataType::Int, 1, true},          {"test/float", DataType::Float, 1, true},
    {"test/ints", DataType::IntArray, 8, true},    {"test/floats", DataType::FloatArray, 4, true},
    {"test/late", DataType::Int, 1, false},
};

class HostTest : public testing::Test {
protected:
    void SetUp() override {
        hostsim::registerDatarefs(kTable, sizeof kTable / sizeof kTable[0]);
        hostsim::reset();
    }
};

TEST_F(HostTest, NullHandlesAndWrongTypesReadZeroAndWriteNothing) {
    EXPECT_EQ(XPLMFindDataRef("test/unknown"), nullptr);
    EXPECT_EQ(XPLMFindDataRef(nullptr), nullptr);
    EXPECT_EQ(XPLMGetDatai(nullptr), 0);
    EXPECT_EQ(XPLMGetDataf(nullptr), 0.0f);
    int buffer[4] = {7, 7, 7, 7};
    EXPECT_EQ(XPLMGetDatavi(nullptr, buffer, 0, 4), 0);
    EXPECT_EQ(XPLMGetDatavi(nullptr, nullptr, 0, 4), 0);
    EXPECT_EQ(buffer[0], 7);
    XPLMSetDatai(nullptr, 5);
    XPLMSetDatavi(nullptr, buffer, 0, 4);

    hostsim::setInt("test/int", 42);
    hostsim::setFloat("test/float", 1.5f);
    XPLMDataRef i = XPLMFindDataRef("test/int");
    XPLMDataRef f = XPLMFindDataRef("test/float");
    ASSERT_NE(i, nullptr);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(XPLMGetDatai(i), 42);
    EXPECT_EQ(XPLMGetDataf(f), 1.5f);
    EXPECT_EQ(XPLMGetDataf(i), 0.0f);
    EXPECT_EQ(XPLMGetDatai(f), 0);
    EXPECT_EQ(XPLMGetDatavi(i, buffer, 0, 4), 0);
    XPLMSetDatai(f, 9);
    XPLMSetDataf(i, 9.0f);
    EXPECT_EQ(hostsim::getInt("test/int"), 42);
    EXPECT_EQ(hostsim::getFloat("test/float"), 1.5f);
    EXPECT_TRUE(hostsim::datarefWrites().empty());

    XPLMSetDatai(i, -3);
    XPLMSetDataf(f, 0.78f);
    EXPECT_EQ(hostsim::getInt("test/int"), -3);
    EXPECT_EQ(hostsim::getFloat("test/float"), 0.78f);
    ASSERT_EQ(hostsim::datarefWrites().size(), 2u);
    EXPECT_EQ(hostsim::datarefWrites()[0].path, "test/int");
    EXPECT_EQ(hostsim::datarefWrites()[0].value, -3.0);
    EXPECT_EQ(hostsim::datarefWrites()[1].value, static_cast<double>(0.78f));
}

TEST_F(HostTest, HandlesTheHostNeverGaveReadZeroAndWriteNothing) {
    int forged[8] = {5, 5, 5, 5, 5, 5, 5, 5};
    XPLMDataRef bogus = forged;
    EXPECT_EQ(XPLMGetDatai(bogus), 0);
    EXPECT_EQ(XPLMGetDatavi(bogus, nullptr, 0, 0), 0);
    XPLMSetDatai(bogus, 9);
    EXPECT_EQ(forged[0], 5);
    EXPECT_TRUE(hostsim::datarefWrites().empty());
    // A real handle next to it still works.
    XPLMDataRef real = XPLMFindDataRef("test/ints");
    ASSERT_NE(real, nullptr);
    EXPECT_EQ(XPLMGetDatavi(real, nullptr, 0, 0), 8);
}

TEST_F(HostTest, ArrayAccessHonoursOffsetMaxAndBounds) {
    XPLMDataRef ints = XPLMFindDataRef("test/ints");
    XPLMDataRef floats = XPLMFindDataRef("test/floats");
    for (int k = 0; k < 8; ++k) {
        hostsim::setIntAt("test/ints", k, 10 + k);
    }
    EXPECT_EQ(XPLMGetDatavi(ints, nullptr, 0, 0), 8);
    EXPECT_EQ(XPLMGetDatavf(floats, nullptr, 0, 0), 4);

    int out[6] = {-1, -1, -1, -1, -1, -1};
    EXPECT_EQ(XPLMGetDatavi(ints, out, 6, 5), 2);
    EXPECT_EQ(out[0], 16);
    EXPECT_EQ(out[1], 17);
    EXPECT_EQ(out[2], -1);
    EXPECT_EQ(XPLMGetDatavi(ints, out, 2, 3), 3);
    EXPECT_EQ(out[2], 14);
    EXPECT_EQ(out[3], -1);
    EXPECT_EQ(XPLMGetDatavi(ints, out, 8, 1), 0);
    EXPECT_EQ(XPLMGetDatavi(ints, out, -1, 1), 0);
    EXPECT_EQ(XPLMGetDatavi(ints, out, 0, 0), 0);
    EXPECT_EQ(XPLMGetDatavf(ints, nullptr, 0, 1), 0);  // an int array is no float array

    int in[5] = {1, 2, 3, 4, 5};
    XPLMSetDatavi(ints, in, 6, 5);
    EXPECT_EQ(hostsim::getIntAt("test/ints", 5), 15);
    EXPECT_EQ(hostsim::getIntAt("test/ints", 6), 1);
    EXPECT_EQ(hostsim::getIntAt("test/ints", 7), 2);
    XPLMSetDatavi(ints, in, 8, 1);
    XPLMSetDatavi(ints, in, -1, 2);
    ASSERT_EQ(hostsim::datarefWrites().size(), 1u);
    EXPECT_EQ(hostsim::datarefWrites()[0].index, 6);
    EXPECT_EQ(hostsim::datarefWrites()[0].count, 2);

    float fin[2] = {0.5f, 0.25f};
    XPLMSetDatavf(floats, fin, 3, 2);
    float fout[4] = {};
    EXPECT_EQ(XPLMGetDatavf(floats, fout, 0, 4), 4);
    EXPECT_EQ(fout[3], 0.5f);
    EXPECT_EQ(fout[2], 0.0f);
}

TEST_F(HostTest, LatePublishAndResetKeepHandlesStable) {
    XPLMDataRef early = XPLMFindDataRef("test/late");
    EXPECT_EQ(early, nullptr);
    EXPECT_TRUE(hostsim::isKnown("test/late"));
    EXPECT_FALSE(hostsim::isPublished("test/late"));
    hostsim::setInt("test/late", 3);  // the other plug-in's value before it publishes
    hostsim::publish("test/late");
    XPLMDataRef late = XPLMFindDataRef("test/late");
    ASSERT_NE(late, nullptr);
    EXPECT_EQ(XPLMGetDatai(late), 3);
    EXPECT_EQ(XPLMGetDatai(early), 0);  // what was found NULL stays NULL
    hostsim::unpublish("test/late");
    EXPECT_EQ(XPLMFindDataRef("test/late"), nullptr);

    hostsim::publish("test/late");
    XPLMDataRef i = XPLMFindDataRef("test/int");
    XPLMSetDatai(i, 8);
    hostsim::reset();
    EXPECT_FALSE(hostsim::isPublished("test/late"));
    EXPECT_EQ(XPLMFindDataRef("test/int"), i);
    EXPECT_EQ(XPLMGetDatai(i), 0);
    EXPECT_TRUE(hostsim::datarefWrites().empty());

    EXPECT_THROW(hostsim::setInt("test/typo", 1), std::invalid_argument);
    EXPECT_THROW(hostsim::getIntAt("test/ints", 8), std::out_of_range);
}

TEST_F(HostTest, CommandJournalAndNullFaults) {
    XPLMCommandRef flaps = XPLMFindCommand("sim/flight_controls/flaps_down");
    XPLMCommandRef starter = XPLMFindCommand("sim/starters/engage_starter_1");
    ASSERT_NE(flaps, nullptr);
    EXPECT_EQ(XPLMFindCommand("sim/flight_controls/flaps_down"), flaps);
    hostsim::hideCommand("sim/none");
    EXPECT_EQ(XPLMFindCommand("sim/none"), nullptr);

    XPLMCommandOnce(flaps);
    XPLMCommandBegin(starter);
    XPLMCommandEnd(starter);
    XPLMCommandOnce(nullptr);
    XPLMCommandBegin(nullptr);
    XPLMCommandEnd(nullptr);
    const auto &journal = hostsim::commandJournal();
    ASSERT_EQ(journal.size(), 3u);
    EXPECT_EQ(journal[0].phase, hostsim::CommandPhase::Once);
    EXPECT_EQ(journal[0].path, "sim/flight_controls/flaps_down");
    EXPECT_EQ(journal[1].phase, hostsim::CommandPhase::Begin);
    EXPECT_EQ(journal[2].phase, hostsim::CommandPhase::End);
    EXPECT_EQ(journal[2].path, "sim/starters/engage_starter_1");
    EXPECT_EQ(hostsim::nullCommandFaults(), 3);

    hostsim::reset();
    EXPECT_TRUE(hostsim::commandJournal().empty());
    EXPECT_EQ(hostsim::nullCommandFaults(), 0);
    XPLMCommandOnce(flaps);  // handles outlive reset
    EXPECT_EQ(hostsim::commandJournal().size(), 1u);
}

TEST_F(HostTest, LogKeepsEveryByteVerbatim) {
    XPLMDebugString("Drovane : callback ");
    XPLMDebugString("");
    XPLMDebugString(nullptr);
    XPLMDebugString("...callback done\n");
    XPLMDebugString("Drovanel : read button state failed");
    EXPECT_EQ(hostsim::log(), "Drovane : callback ...callback done\nDrovanel : read button state failed");
    hostsim::clearLog();
    EXPECT_EQ(hostsim::log(), "");
}

struct Picked {
    void *menuRef = nullptr;
    void *itemRef = nullptr;
    int calls = 0;
} picked;

void onMenu(void *menuRef, void *itemRef) {
    picked.menuRef = menuRef;
    picked.itemRef = itemRef;
    ++picked.calls;
}

TEST_F(HostTest, MenusRecordItemsAndPickCallsTheHandler) {
    picked = Picked();
    XPLMMenuID plugins = XPLMFindPluginsMenu();
    EXPECT_EQ(XPLMFindPluginsMenu(), plugins);
    int item = XPLMAppendMenuItem(plugins, "Drovanel", nullptr, 1);
    EXPECT_EQ(item, 0);
    int menuRef = 0;
    XPLMMenuID sub = XPLMCreateMenu("drovanel", plugins, item, onMenu, &menuRef);
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(XPLMAppendMenuItem(sub, "Ignore Switchpanel", reinterpret_cast<void *>('0'), 1), 0);
    EXPECT_EQ(XPLMAppendMenuItem(sub, "1. Radiopanel DME in 2nd segment", reinterpret_cast<void *>('1'), 1), 1);
    EXPECT_EQ(XPLMAppendMenuItem(sub, "Preferences...", reinterpret_cast<void *>('3'), 1), 2);
    XPLMCheckMenuItem(sub, 0, xplm_Menu_Checked);
    XPLMCheckMenuItem(sub, 1, xplm_Menu_Unchecked);
    XPLMEnableMenuItem(sub, 1, 0);
    XPLMCheckMenuItem(sub, 9, xplm_Menu_Checked);  // no such item: ignored

    std::vector<hostsim::MenuState> menus = hostsim::menus();
    ASSERT_EQ(menus.size(), 2u);
    EXPECT_EQ(menus[0].name, "");
    EXPECT_EQ(menus[1].name, "drovanel");
    ASSERT_EQ(menus[1].items.size(), 3u);
    EXPECT_EQ(menus[1].items[0].check, 2);
    EXPECT_FALSE(menus[1].items[1].enabled);
    EXPECT_EQ(hostsim::menuText(),
              "Plugins\n"
              "      Drovanel > drovanel\n"
              "      [x] Ignore Switchpanel\n"
              "      [ ] 1. Radiopanel DME in 2nd segment (disabled)\n"
              "          Preferences...\n");

    EXPECT_TRUE(hostsim::pickMenuItem("drovanel", "Preferences..."));
    EXPECT_EQ(picked.calls, 1);
    EXPECT_EQ(picked.menuRef, &menuRef);
    EXPECT_EQ(picked.itemRef, reinterpret_cast<void *>('3'));
    EXPECT_FALSE(hostsim::pickMenuItem("drovanel", "Nothing"));
    EXPECT_FALSE(hostsim::pickMenuItem("", "Drovanel"));  // the Plugins menu has no handler of ours
    EXPECT_EQ(picked.calls, 1);

    hostsim::reset();
    EXPECT_EQ(XPLMAppendMenuItem(sub, "stale", nullptr, 1), -1);
    EXPECT_EQ(hostsim::menus().size(), 1u);
}

struct LoopLog {
    int calls = 0;
    int lastCounter = 0;
    float elapsed = 0.0f;
    float answer = 0.05f;
} loopLog;

float onLoop(float elapsed, float, int counter, void *refcon) {
    auto *log = static_cast<LoopLog *>(refcon);
    ++log->calls;
    log->lastCounter = counter;
    log->elapsed = elapsed;
    return log->answer;
}

TEST_F(HostTest, FlightLoopRunsRegisteredCallbacksUntilTheyStop) {
    loopLog = LoopLog();
    EXPECT_FALSE(hostsim::flightLoopRegistered());
    hostsim::runFlightLoops(2);  // nothing registered: nothing happens
    XPLMRegisterFlightLoopCallback(onLoop, 0.05f, &loopLog);
    EXPECT_TRUE(hostsim::flightLoopRegistered());
    hostsim::runFlightLoops(3);
    EXPECT_EQ(loopLog.calls, 3);
    EXPECT_EQ(loopLog.lastCounter, 3);
    EXPECT_EQ(loopLog.elapsed, 0.05f);
    EXPECT_EQ(hostsim::lastFlightLoopInterval(), 0.05f);

    loopLog.answer = 0.0f;  // "do not call me again"
    hostsim::runFlightLoops(3);
    EXPECT_EQ(loopLog.calls, 4);
    EXPECT_EQ(hostsim::lastFlightLoopInterval(), 0.0f);

    XPLMUnregisterFlightLoopCallback(onLoop, nullptr);  // another refcon: not ours
    EXPECT_EQ(hostsim::flightLoopCount(), 1);
    XPLMUnregisterFlightLoopCallback(onLoop, &loopLog);
    EXPECT_FALSE(hostsim::flightLoopRegistered());
}

int receivedFrom = -2;
int receivedMessage = 0;
void receive(int from, int message, void *) {
    receivedFrom = from;
    receivedMessage = message;
}

TEST_F(HostTest, PluginIdentitiesNameMessageSenders) {
    EXPECT_EQ(hostsim::addPluginIdentity("X-Plane"), 0);
    int x737 = hostsim::addPluginIdentity("x737plugin");
    EXPECT_EQ(x737, 1);
    EXPECT_EQ(hostsim::addPluginIdentity("x737plugin"), 1);

    char name[256];
    XPLMGetPluginInfo(0, name, nullptr, nullptr, nullptr);
    EXPECT_STREQ(name, "X-Plane");
    XPLMGetPluginInfo(x737, name, nullptr, nullptr, nullptr);
    EXPECT_STREQ(name, "x737plugin");
    XPLMGetPluginInfo(99, name, nullptr, nullptr, nullptr);
    EXPECT_STREQ(name, "");
    XPLMGetPluginInfo(0, nullptr, nullptr, nullptr, nullptr);

    hostsim::deliverMessage(receive, "someone", 0x88888880);
    EXPECT_EQ(receivedFrom, 2);
    EXPECT_EQ(static_cast<unsigned>(receivedMessage), 0x88888880u);
    hostsim::deliverMessage(receive, "X-Plane", 102);
    EXPECT_EQ(receivedFrom, 0);
    hostsim::reset();
    EXPECT_EQ(hostsim::addPluginIdentity("x737plugin"), 1);
}

TEST_F(HostTest, UserAircraftFillsBothBuffersAndCutsOverlongPaths) {
    char file[256];
    char path[512];
    XPLMGetNthAircraftModel(0, file, path);
    EXPECT_EQ(std::string(path), hostsim::prefsFolder() + "/Aircraft/Trainer/Trainer.acf");
    EXPECT_EQ(std::string(path), hostsim::defaultAircraft());
    EXPECT_STREQ(file, "Trainer.acf");

    hostsim::setUserAircraft("/sim/Aircraft/Twin Jet/twin.acf");
    XPLMGetNthAircraftModel(0, file, path);
    EXPECT_STREQ(path, "/sim/Aircraft/Twin Jet/twin.acf");
    EXPECT_STREQ(file, "twin.acf");
    // Only the user's aircraft is loaded.
    XPLMGetNthAircraftModel(1, file, path);
    EXPECT_STREQ(path, "");
    EXPECT_STREQ(file, "");

    // The longest path and name that fit, then one character more: cut and
    // terminated inside the buffers.
    struct Case {
        std::size_t path, name, wantPath, wantName;
    };
    const Case cases[] = {{511, 255, 511, 255}, {512, 256, 511, 255}, {1000, 8, 511, 8}};
    for (const Case &c : cases) {
        std::string acf = "/" + std::string(c.path - c.name - 2, 'f') + "/" + std::string(c.name - 4, 'n') + ".acf";
        ASSERT_EQ(acf.size(), c.path);
        hostsim::setUserAircraft(acf);
        std::memset(file, 'x', sizeof file);
        std::memset(path, 'x', sizeof path);
        XPLMGetNthAircraftModel(0, file, path);
        EXPECT_EQ(std::strlen(path), c.wantPath) << c.path;
        EXPECT_EQ(std::strlen(file), c.wantName) << c.path;
        EXPECT_EQ(std::string(path), acf.substr(0, c.wantPath));
    }
    XPLMGetNthAircraftModel(0, nullptr, nullptr);

    hostsim::reset();
    EXPECT_EQ(hostsim::userAircraft(), hostsim::defaultAircraft());
}

TEST_F(HostTest, PrefsPathIsAFileInAFreshFolder) {
    std::string folder = hostsim::prefsFolder();
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    char path[512];
    XPLMGetPrefsPath(path);
    EXPECT_EQ(std::string(path), folder + "/X-Plane.prf");
    EXPECT_STREQ(XPLMGetDirectorySeparator(), "/");
    char *file = XPLMExtractFileAndPath(path);
    EXPECT_STREQ(file, "X-Plane.prf");
    EXPECT_EQ(std::string(path), folder);
    EXPECT_EQ(hostsim::prefsFile("Drovanel.prf"), folder + "/Drovanel.prf");

    hostsim::reset();
    EXPECT_FALSE(std::filesystem::exists(folder));  // the old temporary folder is gone
    EXPECT_NE(hostsim::prefsFolder(), folder);

    std::string chosen = (std::filesystem::temp_directory_path() / "hostsim-chosen-prefs").string();
    std::filesystem::remove_all(chosen);
    hostsim::setPrefsFolder(chosen);
    hostsim::reset();
    EXPECT_EQ(hostsim::prefsFolder(), chosen);
    EXPECT_TRUE(std::filesystem::is_directory(chosen));
    hostsim::setPrefsFolder("");
    hostsim::reset();
    EXPECT_TRUE(std::filesystem::is_directory(chosen));  // the host never deletes a chosen folder
    std::filesystem::remove_all(chosen);
}

TEST_F(HostTest, CallsOffTheSimulatorThreadAreRecorded) {
    XPLMDataRef i = XPLMFindDataRef("test/int");
    XPLMGetDatai(i);
    EXPECT_TRUE(hostsim::offThreadCalls().empty());
    std::thread other([i] {
        XPLMGetDatai(i);
        XPLMDebugString("x");
    });
    other.join();
    EXPECT_EQ(hostsim::offThreadCalls(), (std::vector<std::string>{"XPLMGetDatai", "XPLMDebugString"}));
    hostsim::reset();
    EXPECT_TRUE(hostsim::offThreadCalls().empty());
}

// Plug-in code for the timing test: a slow flight loop, and a menu handler
// that builds a widget (whose xpMsg_Create runs inside the handler).
float slowLoop(float, float, int, void *) {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    return 0.05f;
}
int quietWidget(XPWidgetMessage, XPWidgetID, intptr_t, intptr_t) { return 0; }
XPWidgetID builtButton = nullptr;
void buildingMenu(void *, void *) {
    builtButton = XPCreateWidget(0, 20, 50, 0, 1, "OK", 1, nullptr, xpWidgetClass_Button);
    XPAddWidgetCallback(builtButton, quietWidget);
}
void quickReceive(int, int, void *) {}

TEST_F(HostTest, CallsIntoThePluginAreTimedByKindOutermostOnly) {
    XPLMRegisterFlightLoopCallback(slowLoop, 0.05f, nullptr);
    hostsim::runFlightLoops(2);
    hostsim::CallTimes loops = hostsim::callTimes(hostsim::CallKind::FlightLoop);
    EXPECT_EQ(loops.count, 2);
    EXPECT_GE(loops.longestSeconds, 0.030);
    EXPECT_GE(loops.totalSeconds, 0.060);
    EXPECT_LE(loops.longestSeconds, loops.totalSeconds);

    const int item = XPLMAppendMenuItem(XPLMFindPluginsMenu(), "t", nullptr, 1);
    XPLMMenuID menu = XPLMCreateMenu("timed", XPLMFindPluginsMenu(), item, buildingMenu, nullptr);
    XPLMAppendMenuItem(menu, "Build", nullptr, 1);
    ASSERT_TRUE(hostsim::pickMenuItem("timed", "Build"));
    EXPECT_EQ(hostsim::callTimes(hostsim::CallKind::Menu).count, 1);
    EXPECT_EQ(hostsim::callTimes(hostsim::CallKind::Widget).count, 0) << "xpMsg_Create ran inside the handler";
    ASSERT_TRUE(hostsim::pressButton(builtButton));
    EXPECT_EQ(hostsim::callTimes(hostsim::CallKind::Widget).count, 1);

    hostsim::deliverMessage(quickReceive, "X-Plane", 102);
    EXPECT_EQ(hostsim::callTimes(hostsim::CallKind::Message).count, 1);
    {
        hostsim::TimedCall outer(hostsim::CallKind::Enable);
        hostsim::deliverMessage(quickReceive, "X-Plane", 102);
    }
    EXPECT_EQ(hostsim::callTimes(hostsim::CallKind::Enable).count, 1);
    EXPECT_EQ(hostsim::callTimes(hostsim::CallKind::Message).count, 1) << "nested in the timed call";
    EXPECT_EQ(hostsim::callTimes(hostsim::CallKind::Disable).count, 0);

    hostsim::clearCallTimes();
    EXPECT_EQ(hostsim::callTimes(hostsim::CallKind::FlightLoop).count, 0);
    hostsim::runFlightLoops(1);
    hostsim::reset();
    EXPECT_EQ(hostsim::callTimes(hostsim::CallKind::FlightLoop).count, 0);
    EXPECT_EQ(hostsim::callTimes(hostsim::CallKind::FlightLoop).longestSeconds, 0.0);
}

}  // namespace
