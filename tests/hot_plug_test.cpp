// Panels unplugged and plugged in while the plug-in runs, through the core
// and the host's virtual panels: the slot emptied with the file written,
// the panel adopted again with its file read, and the log, menu and
// preferences window along the way.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "XPStandardWidgets.h"
#include "device_pickup.h"
#include "hostsim/hostsim.h"
#include "hostsim/panels/switchpanel.h"
#include "plugin/plugin_core.h"
#include "tick.h"
#include "tests/test_files.h"

namespace drovanel {
namespace {

using drovanel::testing_files::readFile;
using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kRepeatThresholdByte = 6;
constexpr std::size_t kDmeOptionByte = 66;

std::atomic<std::uint32_t> gNow{1000};
std::uint32_t fakeTick() { return gNow.load(); }

int count(const std::string &text, const std::string &part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// Every test runs with panels plugged back in under a new path (Linux) and
// at the path they had (Windows, the same port), where the list after the
// re-plug looks exactly as before.
class HotPlugFixture : public ::testing::Test {
protected:
    virtual hostsim::Replug replug() const = 0;
    void SetUp() override {
        hostsim::reset();
        hostsim::setReplug(replug());
        // The core keeps its Switch Panel setting between enables: set it.
        drovanel::testing_files::writeFile(hostsim::prefsFile("Drovanel.prf"), {0});
        char name[256], sig[256], desc[256];
        ASSERT_EQ(pluginStart(kLinuxIdentity, name, sig, desc), 1);
    }
    void TearDown() override {
        pluginDisable();
        pluginStop();
        setTickSource(nullptr);
        EXPECT_EQ(hostsim::nullCommandFaults(), 0);
        EXPECT_TRUE(hostsim::offThreadCalls().empty());
    }
    // Runs flight loops until done() holds (the readers work on their own
    // threads) or two seconds pass.
    template <typename Done>
    bool loopUntil(Done done) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (!done()) {
            if (std::chrono::steady_clock::now() > until) return false;
            hostsim::runFlightLoops(1);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }
    // The watch lists, then one flight loop runs.
    void listAndLoop() {
        deviceWatchListNow();
        hostsim::runFlightLoops(1);
    }
    hostsim::MenuItemState radioItem(int number) {
        for (const hostsim::MenuState &menu : hostsim::menus()) {
            if (menu.name == "drovanel") return menu.items[static_cast<std::size_t>(number)];
        }
        return {};
    }
};

const char *replugName(hostsim::Replug replug) {
    return replug == hostsim::Replug::NewPath ? "NewPath" : "SamePath";
}

class HotPlugTest : public HotPlugFixture, public ::testing::WithParamInterface<hostsim::Replug> {
protected:
    hostsim::Replug replug() const override { return GetParam(); }
};

INSTANTIATE_TEST_SUITE_P(Replugs, HotPlugTest, ::testing::Values(hostsim::Replug::NewPath, hostsim::Replug::SamePath),
                         [](const ::testing::TestParamInfo<hostsim::Replug> &info) {
                             return std::string(replugName(info.param));
                         });

struct KindRow {
    hostsim::PanelKind kind;
    PanelSlot slot;
    const char *name;
};

class EachPanelComesAndGoes : public HotPlugFixture,
                              public ::testing::WithParamInterface<std::tuple<KindRow, hostsim::Replug>> {
protected:
    hostsim::Replug replug() const override { return std::get<1>(GetParam()); }
};

// Each kind: unplugged, its slot empties within the loop that sees it with
// its file written; plugged back, it is adopted with that file.
TEST_P(EachPanelComesAndGoes, FileWrittenAtDisconnectIsReadAtReconnect) {
    const KindRow row = std::get<0>(GetParam());
    int device = hostsim::attach(row.kind);
    ASSERT_EQ(pluginEnable(), 1);
    ASSERT_NE(panelInSlot(row.slot), nullptr);
    panelInSlot(row.slot)->setSettingByte(kRepeatThresholdByte, 9);
    const std::string file = hostsim::prefsFile(std::string("Drovanel.") + row.name + ".prf");
    hostsim::clearLog();

    hostsim::detach(device);
    // The BIP has no reader: only the listing tells that it went.
    if (row.kind == hostsim::PanelKind::Bip) deviceWatchListNow();
    ASSERT_TRUE(loopUntil([&] { return panelInSlot(row.slot) == nullptr; }));
    EXPECT_FALSE(hostsim::deviceOpen(device));
    EXPECT_EQ(count(hostsim::log(), std::string("Drovanel : ") + row.name + " disconnected\n"), 1);
    EXPECT_EQ(count(hostsim::log(), " connected\n"), 0);
    const Bytes atDisconnect = readFile(file);
    ASSERT_EQ(atDisconnect.size(), 1024u);
    EXPECT_EQ(atDisconnect[kRepeatThresholdByte], 9);

    hostsim::clearLog();
    hostsim::plug(device);
    listAndLoop();
    ASSERT_NE(panelInSlot(row.slot), nullptr);
    EXPECT_EQ(panelInSlot(row.slot)->settingByte(kRepeatThresholdByte), 9) << "settings read from the file";
    EXPECT_TRUE(hostsim::deviceOpen(device));
    EXPECT_EQ(count(hostsim::log(), std::string("Drovanel : ") + row.name + " connected\n"), 1);

    pluginDisable();
    EXPECT_EQ(readFile(file), atDisconnect) << "nothing changed the settings in between";
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, EachPanelComesAndGoes,
    ::testing::Combine(::testing::Values(KindRow{hostsim::PanelKind::Multi, PanelSlot::Multipanel, "Multipanel"},
                                         KindRow{hostsim::PanelKind::Switch, PanelSlot::Switchpanel, "Switchpanel"},
                                         KindRow{hostsim::PanelKind::Radio, PanelSlot::Radiopanel1, "Radiopanel1"},
                                         KindRow{hostsim::PanelKind::Bip, PanelSlot::Bip, "BacklitInformationPanel"}),
                       ::testing::Values(hostsim::Replug::NewPath, hostsim::Replug::SamePath)),
    [](const ::testing::TestParamInfo<std::tuple<KindRow, hostsim::Replug>> &info) {
        return std::string(std::get<0>(info.param).name) + replugName(std::get<1>(info.param));
    });

TEST_P(HotPlugTest, RadioPanelMenuItemsFollowTheSecondPanel) {
    hostsim::attach(hostsim::PanelKind::Radio);
    int second = hostsim::attach(hostsim::PanelKind::Radio);
    ASSERT_EQ(pluginEnable(), 1);
    hostsim::pickMenuItem("drovanel", "2. Radiopanel DME in 2nd segment");
    ASSERT_EQ(radioItem(2).check, 2);

    hostsim::detach(second);
    ASSERT_TRUE(loopUntil([&] { return panelInSlot(PanelSlot::Radiopanel2) == nullptr; }));
    EXPECT_FALSE(radioItem(2).enabled);
    EXPECT_EQ(radioItem(2).check, 1);
    EXPECT_TRUE(radioItem(1).enabled);
    EXPECT_EQ(readFile(hostsim::prefsFile("Drovanel.Radiopanel2.prf"))[kDmeOptionByte], 1);

    hostsim::clearLog();
    hostsim::clearDatarefWrites();
    std::size_t before = hostsim::featureReports(second).size();
    hostsim::plug(second);
    listAndLoop();
    ASSERT_NE(panelInSlot(PanelSlot::Radiopanel2), nullptr);
    EXPECT_TRUE(radioItem(2).enabled);
    EXPECT_EQ(radioItem(2).check, 2) << "the option came back from the file";
    // Brought up as after an aircraft load: the check report is written at once.
    std::vector<Bytes> reports = hostsim::featureReports(second);
    ASSERT_GT(reports.size(), before);
    EXPECT_EQ(reports[before][0], 0xFF);
    EXPECT_EQ(hostsim::log(), "check buttons passedDrovanel : Radiopanel2 connected\n"
                              "Drovane : callback ...radiopanel 1 ...radiopanel 2 ...callback done\n");
}

// Unplug the first of two Radio Panels, then re-create every panel: the
// second comes back in slot 1, and the items follow the slots.
TEST_P(HotPlugTest, RadioMenuItemsFollowTheSlotsAfterTheToggle) {
    int first = hostsim::attach(hostsim::PanelKind::Radio);
    hostsim::attach(hostsim::PanelKind::Radio);
    ASSERT_EQ(pluginEnable(), 1);
    hostsim::pickMenuItem("drovanel", "1. Radiopanel DME in 2nd segment");
    hostsim::pickMenuItem("drovanel", "2. Radiopanel DME in 2nd segment");
    hostsim::detach(first);
    ASSERT_TRUE(loopUntil([&] { return panelInSlot(PanelSlot::Radiopanel1) == nullptr; }));

    for (int toggle = 0; toggle < 2; ++toggle) {
        ASSERT_TRUE(hostsim::pickMenuItem("drovanel", "Ignore Switchpanel"));
        ASSERT_NE(panelInSlot(PanelSlot::Radiopanel1), nullptr);
        ASSERT_EQ(panelInSlot(PanelSlot::Radiopanel2), nullptr);
        EXPECT_TRUE(radioItem(1).enabled) << toggle;
        EXPECT_EQ(radioItem(1).check, 2) << "slot 1's own file has the option on";
        EXPECT_FALSE(radioItem(2).enabled) << toggle;
        EXPECT_EQ(radioItem(2).check, 1) << "an empty slot shows unchecked";
    }
}

struct TeardownCause {
    const char *name;
    std::function<void(int device)> tearDown;
};

void PrintTo(const TeardownCause &cause, std::ostream *out) { *out << cause.name; }

class StarterHeldAtTeardown : public HotPlugFixture, public ::testing::WithParamInterface<TeardownCause> {
protected:
    hostsim::Replug replug() const override { return hostsim::Replug::NewPath; }
};

// The Switch Panel's rotary at START holds the starter until it returns to
// BOTH; however the panel goes, every begin is ended with it.
TEST_P(StarterHeldAtTeardown, EveryBeginIsEnded) {
    namespace sp = hostsim::switchpanel;
    int device = hostsim::attach(hostsim::PanelKind::Switch);
    ASSERT_EQ(pluginEnable(), 1);
    sp::Switches start;
    start.magneto = sp::Magneto::Start;
    hostsim::queueInput(device, sp::inputReport(start));
    const auto calls = [](hostsim::CommandPhase phase) {
        int n = 0;
        for (const hostsim::CommandCall &call : hostsim::commandJournal()) {
            n += call.phase == phase && call.path == "sim/engines/engage_starters" ? 1 : 0;
        }
        return n;
    };
    ASSERT_TRUE(loopUntil([&] { return calls(hostsim::CommandPhase::Begin) >= 1; }));
    EXPECT_EQ(calls(hostsim::CommandPhase::End), 0);
    hostsim::clearLog();

    GetParam().tearDown(device);
    EXPECT_EQ(panelInSlot(PanelSlot::Switchpanel), nullptr);
    EXPECT_EQ(calls(hostsim::CommandPhase::End), calls(hostsim::CommandPhase::Begin));
    EXPECT_EQ(hostsim::log().find("starter"), std::string::npos) << hostsim::log();
}

INSTANTIATE_TEST_SUITE_P(
    Causes, StarterHeldAtTeardown,
    ::testing::Values(TeardownCause{"Unplugged",
                                    [](int device) {
                                        hostsim::detach(device);
                                        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
                                        while (panelInSlot(PanelSlot::Switchpanel) != nullptr &&
                                               std::chrono::steady_clock::now() < until) {
                                            hostsim::runFlightLoops(1);
                                            std::this_thread::sleep_for(std::chrono::milliseconds(2));
                                        }
                                    }},
                      TeardownCause{"Disabled", [](int) { pluginDisable(); }},
                      TeardownCause{"Stopped", [](int) { pluginStop(); }},
                      TeardownCause{"IgnoreToggled",
                                    [](int) { hostsim::pickMenuItem("drovanel", "Ignore Switchpanel"); }}),
    [](const ::testing::TestParamInfo<TeardownCause> &info) { return std::string(info.param.name); });

// The DME option picked from the menu is in the file before any teardown,
// so a crash of the simulator does not lose it.
TEST_P(HotPlugTest, MenuOptionReachesTheFileWithoutATeardown) {
    hostsim::attach(hostsim::PanelKind::Radio);
    ASSERT_EQ(pluginEnable(), 1);
    const std::string file = hostsim::prefsFile("Drovanel.Radiopanel1.prf");
    hostsim::pickMenuItem("drovanel", "1. Radiopanel DME in 2nd segment");
    ASSERT_TRUE(loopUntil([&] {
        const Bytes bytes = readFile(file);
        return bytes.size() == 1024 && bytes[64] == 1;
    }));
    ASSERT_NE(panelInSlot(PanelSlot::Radiopanel1), nullptr) << "still running";
}

TEST_P(HotPlugTest, NewPanelsTakeTheSlotDiscoveryGivesAndTheLimitsHold) {
    hostsim::attach(hostsim::PanelKind::Radio);
    hostsim::attach(hostsim::PanelKind::Radio);
    drovanel::testing_files::writeFile(hostsim::prefsFile("Drovanel.prf"), {1});  // ignore the Switch Panel
    ASSERT_EQ(pluginEnable(), 1);
    ASSERT_TRUE(ignoreSwitchPanelSet());
    AbstractPanel *first = panelInSlot(PanelSlot::Radiopanel1);
    hostsim::clearLog();

    int third = hostsim::attach(hostsim::PanelKind::Radio);
    int switches = hostsim::attach(hostsim::PanelKind::Switch);
    listAndLoop();
    EXPECT_EQ(panelInSlot(PanelSlot::Switchpanel), nullptr) << "ignored as at enable";
    EXPECT_EQ(panelInSlot(PanelSlot::Radiopanel1), first);
    EXPECT_EQ(hostsim::openCount(third), 0) << "no slot for a third Radio Panel";
    EXPECT_EQ(hostsim::openCount(switches), 0);
    EXPECT_EQ(hostsim::log(), "Drovane : callback ...radiopanel 1 ...radiopanel 2 ...callback done\n");

    // A free slot: the third panel takes the first Radio Panel's place.
    hostsim::detach(0);
    // (The new driver may sit at the old one's address: watch the device.
    // The watch opens it; a later flight loop adopts it.)
    ASSERT_TRUE(loopUntil([&] {
        return hostsim::deviceOpen(third) && panelInSlot(PanelSlot::Radiopanel1) != nullptr;
    })) << hostsim::log();
    EXPECT_NE(panelInSlot(PanelSlot::Radiopanel1), nullptr);
    EXPECT_EQ(count(hostsim::log(), "Drovanel : Radiopanel1 disconnected\n"), 1);
    EXPECT_EQ(count(hostsim::log(), "Drovanel : Radiopanel1 connected\n"), 1);

    // Not ignored any more: the toggle's discovery takes the Switch Panel.
    hostsim::pickMenuItem("drovanel", "Ignore Switchpanel");
    EXPECT_NE(panelInSlot(PanelSlot::Switchpanel), nullptr);
}

TEST_P(HotPlugTest, UnpluggedAndPluggedBackWithinOneFlightLoop) {
    int radio = hostsim::attach(hostsim::PanelKind::Radio);
    ASSERT_EQ(pluginEnable(), 1);
    // The watch's first listing, which raises a change whatever it finds,
    // is taken now: from here only a changed list or a forced listing does.
    listAndLoop();
    AbstractPanel *old = panelInSlot(PanelSlot::Radiopanel1);
    const int opens = hostsim::openCount(radio);
    hostsim::clearLog();
    hostsim::detach(radio);
    hostsim::plug(radio);
    // No listing in between: the reader alone tells.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!old->deviceGone() && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(old->deviceGone());
    hostsim::runFlightLoops(1);
    EXPECT_EQ(panelInSlot(PanelSlot::Radiopanel1), nullptr);
    // The watch lists and opens it at once, and the next loops take the
    // panel up again.
    ASSERT_TRUE(loopUntil([&] { return panelInSlot(PanelSlot::Radiopanel1) != nullptr; }));
    EXPECT_TRUE(hostsim::deviceOpen(radio));
    EXPECT_NE(panelInSlot(PanelSlot::Radiopanel1), nullptr);
    EXPECT_GT(hostsim::openCount(radio), opens);
    std::string log = hostsim::log();
    std::size_t gone = log.find("Drovanel : Radiopanel1 disconnected\n");
    std::size_t back = log.find("check buttons passedDrovanel : Radiopanel1 connected\n");
    EXPECT_LT(gone, back) << log;
    EXPECT_NE(back, std::string::npos) << log;
    EXPECT_EQ(count(log, "Drovanel : "), 2) << "nothing else: " << log;
}

TEST_P(HotPlugTest, APanelGoneForGoodLeavesOnlyItsLine) {
    int radio = hostsim::attach(hostsim::PanelKind::Radio);
    ASSERT_EQ(pluginEnable(), 1);
    hostsim::clearLog();
    hostsim::detach(radio);
    ASSERT_TRUE(loopUntil([] { return panelInSlot(PanelSlot::Radiopanel1) == nullptr; }));
    for (int i = 0; i < 5; ++i) listAndLoop();
    EXPECT_EQ(count(hostsim::log(), "Drovanel : "), 1) << hostsim::log();
    EXPECT_EQ(count(hostsim::log(), "Drovanel : Radiopanel1 disconnected\n"), 1);
}

// A new node may be root's for a moment (udev has not applied the rule):
// the open is tried again with growing pauses, and the device is named
// only when the tries give up, once per appearance.
TEST_P(HotPlugTest, ADeviceThatCannotBeOpenedIsRetriedThenNamedOncePerAppearance) {
    setTickSource(fakeTick);
    ASSERT_EQ(pluginEnable(), 1);
    int bip = hostsim::attach(hostsim::PanelKind::Bip);
    hostsim::failOpen(bip, true);
    hostsim::clearLog();
    listAndLoop();
    EXPECT_EQ(panelInSlot(PanelSlot::Bip), nullptr);
    // Refused, then accepted on a later try: adopted, nothing named.
    gNow += kOpenRetryFirstMs;
    listAndLoop();
    hostsim::failOpen(bip, false);
    gNow += 2 * kOpenRetryFirstMs;
    listAndLoop();
    ASSERT_NE(panelInSlot(PanelSlot::Bip), nullptr);
    EXPECT_EQ(count(hostsim::log(), "cannot open"), 0) << hostsim::log();
    EXPECT_EQ(count(hostsim::log(), "Drovanel : BacklitInformationPanel connected\n"), 1);

    // Refused for good: named once, when the tries give up.
    int multi = hostsim::attach(hostsim::PanelKind::Multi);
    hostsim::failOpen(multi, true);
    const std::string line = "Drovanel : cannot open " + hostsim::devicePath(multi) + ": access denied\n";
    hostsim::clearLog();
    for (std::uint32_t waited = 0; waited + 100 < kOpenRetryForMs; waited += 100) {
        listAndLoop();
        gNow += 100;
    }
    EXPECT_EQ(count(hostsim::log(), "cannot open"), 0) << "still trying";
    for (int i = 0; i < 40; ++i) {
        listAndLoop();
        gNow += 100;
    }
    EXPECT_EQ(count(hostsim::log(), line), 1) << hostsim::log();
    EXPECT_EQ(count(hostsim::log(), "Drovanel : "), 1) << hostsim::log();

    // A new appearance is tried again, and now it opens.
    hostsim::detach(multi);
    listAndLoop();
    hostsim::failOpen(multi, false);
    hostsim::plug(multi);
    listAndLoop();
    EXPECT_NE(panelInSlot(PanelSlot::Multipanel), nullptr);
    EXPECT_EQ(count(hostsim::log(), "Drovanel : Multipanel connected\n"), 1);
}

// A failed listing after listSoon() waits out the period like any other.
TEST_P(HotPlugTest, FailingListingsDoNotSpinTheWatch) {
    int radio = hostsim::attach(hostsim::PanelKind::Radio);
    ASSERT_EQ(pluginEnable(), 1);
    hostsim::failListings(1000000);
    hostsim::detach(radio);
    ASSERT_TRUE(loopUntil([] { return panelInSlot(PanelSlot::Radiopanel1) == nullptr; }));  // listSoon()
    const long before = hostsim::listingCalls();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_LE(hostsim::listingCalls() - before, 3) << "one listing per period at most";
    hostsim::failListings(0);
}

// The BIP has no reader: a write refused because its device is not
// connected any more tells it, without waiting for a listing.
TEST_P(HotPlugTest, AWriteToAnUnpluggedBipMarksItGone) {
    int bip = hostsim::attach(hostsim::PanelKind::Bip);
    ASSERT_EQ(pluginEnable(), 1);
    AbstractPanel *panel = panelInSlot(PanelSlot::Bip);
    hostsim::refuseFeatureWrites(bip, true);
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    EXPECT_FALSE(panel->deviceGone()) << "refused while connected: not gone";
    hostsim::detach(bip);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!panel->deviceGone() && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_TRUE(panel->deviceGone());
}

// The flight loop that adopts a panel neither lists nor opens: the watch's
// thread did, with thirty other devices listed.
TEST_P(HotPlugTest, TheFlightLoopOnlyAdoptsWhatTheWatchOpened) {
    for (int i = 0; i < 30; ++i) hostsim::attachDevice(0x046D, static_cast<std::uint16_t>(0xC000 + i));
    ASSERT_EQ(pluginEnable(), 1);
    hostsim::runFlightLoops(1);
    const long before = hostsim::simThreadDeviceCalls();
    int radio = hostsim::attach(hostsim::PanelKind::Radio);
    ASSERT_TRUE(loopUntil([] { return panelInSlot(PanelSlot::Radiopanel1) != nullptr; }));
    EXPECT_TRUE(hostsim::deviceOpen(radio));
    EXPECT_EQ(hostsim::simThreadDeviceCalls(), before);
}

TEST_P(HotPlugTest, NothingPluggedNothingChanges) {
    int devices[] = {hostsim::attach(hostsim::PanelKind::Multi), hostsim::attach(hostsim::PanelKind::Radio),
                     hostsim::attach(hostsim::PanelKind::Bip)};
    ASSERT_EQ(pluginEnable(), 1);
    std::vector<int> opens;
    for (int device : devices) opens.push_back(hostsim::openCount(device));
    hostsim::clearLog();
    for (int i = 0; i < 5; ++i) listAndLoop();
    std::string loop = "Drovane : callback ...multipanel ...radiopanel 1 ...bip 1 ...callback done\n";
    std::string expected;
    for (int i = 0; i < 5; ++i) expected += loop;
    EXPECT_EQ(hostsim::log(), expected);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(hostsim::openCount(devices[i]), opens[static_cast<std::size_t>(i)]);
}

TEST_P(HotPlugTest, TheWatchThreadFindsANewPanelWithinTwoSeconds) {
    ASSERT_EQ(pluginEnable(), 1);
    int radio = hostsim::attach(hostsim::PanelKind::Radio);
    EXPECT_TRUE(loopUntil([] { return panelInSlot(PanelSlot::Radiopanel1) != nullptr; }));
    EXPECT_TRUE(hostsim::deviceOpen(radio));
}

// Disable and enable stop and start the watch: the listing goes on on its
// own thread, for a panel plugged in and for one unplugged and plugged back.
TEST_P(HotPlugTest, AfterDisableAndEnableTheWatchThreadStillFindsPanels) {
    ASSERT_EQ(pluginEnable(), 1);
    pluginDisable();
    ASSERT_EQ(pluginEnable(), 1);
    int radio = hostsim::attach(hostsim::PanelKind::Radio);
    ASSERT_TRUE(loopUntil([] { return panelInSlot(PanelSlot::Radiopanel1) != nullptr; }));
    hostsim::detach(radio);
    ASSERT_TRUE(loopUntil([] { return panelInSlot(PanelSlot::Radiopanel1) == nullptr; }));
    hostsim::plug(radio);
    EXPECT_TRUE(loopUntil([] { return panelInSlot(PanelSlot::Radiopanel1) != nullptr; }));
    EXPECT_TRUE(hostsim::deviceOpen(radio));
}

TEST_P(HotPlugTest, PreferencesWindowOpenWhileItsPanelGoes) {
    int radio = hostsim::attach(hostsim::PanelKind::Radio);
    ASSERT_EQ(pluginEnable(), 1);
    hostsim::pickMenuItem("drovanel", "Preferences...");
    hostsim::WidgetId root = hostsim::frontRoot();
    ASSERT_NE(root, nullptr);

    hostsim::detach(radio);
    ASSERT_TRUE(loopUntil([] { return panelInSlot(PanelSlot::Radiopanel1) == nullptr; }));
    const Bytes written = readFile(hostsim::prefsFile("Drovanel.Radiopanel1.prf"));
    // "OK" with the panel gone writes nowhere (ASan sees a freed driver).
    ASSERT_TRUE(hostsim::pressButton(hostsim::findWidget("OK", xpWidgetClass_Button)));
    EXPECT_EQ(readFile(hostsim::prefsFile("Drovanel.Radiopanel1.prf")), written);

    hostsim::pickMenuItem("drovanel", "Preferences...");
    std::string shown = hostsim::renderWindow(hostsim::frontRoot());
    std::size_t first = shown.find("Radiopanel #1");
    std::size_t second = shown.find("Radiopanel #2");
    ASSERT_LT(first, second) << shown;
    EXPECT_NE(shown.substr(first, second - first).find("(disabled)"), std::string::npos) << shown;
}

TEST_P(HotPlugTest, DisableAndStopWithAPanelGoneWriteItsFile) {
    int radio = hostsim::attach(hostsim::PanelKind::Radio);
    int multi = hostsim::attach(hostsim::PanelKind::Multi);
    ASSERT_EQ(pluginEnable(), 1);
    panelInSlot(PanelSlot::Radiopanel1)->setSettingByte(kRepeatThresholdByte, 4);
    panelInSlot(PanelSlot::Multipanel)->setSettingByte(kRepeatThresholdByte, 5);
    AbstractPanel *gone = panelInSlot(PanelSlot::Radiopanel1);
    hostsim::detach(radio);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!gone->deviceGone() && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    // No flight loop ran: disable tears the gone panel down like the others.
    hostsim::clearLog();
    pluginDisable();
    EXPECT_EQ(hostsim::log().find("disconnected"), std::string::npos);
    EXPECT_EQ(readFile(hostsim::prefsFile("Drovanel.Radiopanel1.prf"))[kRepeatThresholdByte], 4);
    EXPECT_FALSE(hostsim::deviceOpen(multi));

    // Unplugged while disable tears down: nothing is left open.
    ASSERT_EQ(pluginEnable(), 1);
    hostsim::detach(multi);
    pluginDisable();
    pluginStop();
    EXPECT_FALSE(hostsim::deviceOpen(multi));
    EXPECT_EQ(readFile(hostsim::prefsFile("Drovanel.Multipanel.prf"))[kRepeatThresholdByte], 5);
}

}  // namespace
}  // namespace drovanel
