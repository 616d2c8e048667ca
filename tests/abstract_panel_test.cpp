#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "hid/device_services.h"
#include "hostsim/hostsim.h"
#include "tests/test_files.h"
#include "test_panel.h"
#include "tick.h"

namespace drovanel {
namespace {

using drovanel::testing_files::readFile;
using drovanel::testing_files::writeFile;
using Bytes = std::vector<std::uint8_t>;

std::atomic<std::uint32_t> fakeNow{1000};
std::uint32_t fakeTick() { return fakeNow.load(); }

// Opens the virtual panel at device number n through the backend.
HidDevice *openVirtual(int n) {
    DeviceServices &services = systemDeviceServices();
    std::uint32_t count = 0;
    services.rawInputCount(&count);  // the walk's listing
    std::uint32_t chars = 0;
    void *handle = reinterpret_cast<void *>(static_cast<std::uintptr_t>(n) + 1);
    if (!services.rawInputNameLength(handle, &chars)) return nullptr;
    std::wstring name(chars + 1, L'\0');
    services.rawInputName(handle, &name[0], chars + 1);
    return services.open(name.c_str());
}

bool waitFor(const std::function<bool()> &condition, int ms = 2000) {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

class PanelBaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        hostsim::reset();
        setTickSource(nullptr);
    }
    void TearDown() override { setTickSource(nullptr); }
    std::string settingsPath(const char *name) { return hostsim::prefsFile(std::string("Drovanel.") + name + ".prf"); }
};

TEST_F(PanelBaseTest, FirstUseCreatesFileAndTeardownWritesDefaults) {
    {
        TestPanel panel(nullptr, "Multipanel");
        EXPECT_EQ(panel.settingsPath(), settingsPath("Multipanel"));
        EXPECT_EQ(readFile(settingsPath("Multipanel")).size(), 0u) << "created empty on first use";
        EXPECT_EQ(panel.coalescenceTime(), 250u);
        panel.teardown();
    }
    std::vector<std::uint8_t> file = readFile(settingsPath("Multipanel"));
    ASSERT_EQ(file.size(), 1024u);
    EXPECT_EQ(file[4], 0);
    EXPECT_EQ(file[5], 250);
    EXPECT_EQ(file[6], 10);
    EXPECT_EQ(file[7], 5);
    EXPECT_EQ(hostsim::log(), "");
}

TEST_F(PanelBaseTest, CoalescenceTimeIsStoredAsHighAndLowParts) {
    TestPanel panel(nullptr, "Radiopanel1", 1000, 300, 7);
    EXPECT_EQ(panel.settingByte(4), 3);
    EXPECT_EQ(panel.settingByte(5), 235);
    EXPECT_EQ(panel.settingByte(6), 300 & 0xFF);
    EXPECT_EQ(panel.coalescenceTime(), 1000u);
}

TEST_F(PanelBaseTest, ShortFileOverwritesOnlyItsLengthAndLaterBytesSurvive) {
    writeFile(settingsPath("Radiopanel2"), {1, 2, 3, 4, 0, 100});
    {
        TestPanel panel(nullptr, "Radiopanel2");
        EXPECT_EQ(panel.settingByte(0), 1);
        EXPECT_EQ(panel.settingByte(5), 100);
        EXPECT_EQ(panel.settingByte(6), 10) << "beyond the file: constructor default";
        EXPECT_EQ(panel.settingByte(7), 5);
        panel.setSettingByte(900, 42);
        panel.teardown();
    }
    std::vector<std::uint8_t> file = readFile(settingsPath("Radiopanel2"));
    ASSERT_EQ(file.size(), 1024u);
    EXPECT_EQ(file[3], 4);
    EXPECT_EQ(file[900], 42);
    TestPanel again(nullptr, "Radiopanel2");
    EXPECT_EQ(again.settingByte(900), 42) << "carried through the file";
}

TEST_F(PanelBaseTest, QueueHoldsThirtyOneReportsAndMarksDroppedOnesPending) {
    fakeNow = 77;
    setTickSource(fakeTick);
    TestPanel panel(nullptr);
    for (std::uint8_t i = 0; i < 31; ++i) {
        std::uint8_t report[4] = {0, i, static_cast<std::uint8_t>(i * 2), 9};
        panel.pushEvent(report, 4, i % 2);
    }
    EXPECT_EQ(panel.queuedEvents(), 31u);
    panel.drainEvents();
    EXPECT_FALSE(panel.eventsPending());
    ASSERT_EQ(panel.seen.size(), 31u);
    EXPECT_EQ(panel.seen[30].bytes[1], 30);
    EXPECT_EQ(panel.seen[30].bytes[2], 60);
    EXPECT_EQ(panel.seen[30].flag, 0);
    EXPECT_EQ(panel.seen[29].flag, 1);
    EXPECT_EQ(panel.seen[0].tick, 77u);

    panel.seen.clear();
    std::uint8_t report[4] = {0, 1, 2, 3};
    for (int i = 0; i < 32; ++i) panel.pushEvent(report, 4, 0);
    EXPECT_EQ(panel.queuedEvents(), 31u) << "the 32nd four-byte event is dropped";
    EXPECT_TRUE(panel.eventsPending());
}

// Short reports fill the 32 event slots before the 128 data bytes: the slot
// count alone must stop the 33rd.
TEST_F(PanelBaseTest, QueueHoldsThirtyTwoShortReportsAndDropsTheNext) {
    fakeNow = 5;
    setTickSource(fakeTick);
    TestPanel panel(nullptr);
    for (std::uint8_t i = 0; i < 33; ++i) panel.pushEvent(&i, 1, 0);
    EXPECT_EQ(panel.queuedEvents(), 32u);
    EXPECT_TRUE(panel.eventsPending());
    panel.drainEvents();
    ASSERT_EQ(panel.seen.size(), 32u);
    for (std::uint8_t i = 0; i < 32; ++i) {
        EXPECT_EQ(panel.seen[i].length, 1u);
        EXPECT_EQ(panel.seen[i].bytes[0], i);
        EXPECT_EQ(panel.seen[i].tick, 5u) << "event " << int(i);
    }
}

TEST_F(PanelBaseTest, DrainHandsEventsInOrderWithTheirOwnLengthFlagAndTick) {
    setTickSource(fakeTick);
    TestPanel panel(nullptr);
    fakeNow = 10;
    std::uint8_t first[4] = {0, 0xAA, 0xBB, 0xCC};
    panel.pushEvent(first, 4, 1);
    fakeNow = 4294967295u;
    std::uint8_t second[2] = {0, 0x11};
    panel.pushEvent(second, 2, 0);
    panel.drainEvents();
    ASSERT_EQ(panel.seen.size(), 2u);
    EXPECT_EQ(panel.seen[0].length, 4u);
    EXPECT_EQ(panel.seen[0].flag, 1);
    EXPECT_EQ(panel.seen[0].tick, 10u);
    EXPECT_EQ(panel.seen[1].length, 2u);
    EXPECT_EQ(panel.seen[1].tick, 4294967295u);
    EXPECT_EQ(panel.seen[1].bytes[1], 0x11);
    EXPECT_EQ(panel.seen[1].bytes[2], 0xBB) << "bytes past a short event keep what the earlier one left";
    panel.seen.clear();
    panel.drainEvents();
    EXPECT_TRUE(panel.seen.empty()) << "nothing pending, nothing handed";
}

TEST_F(PanelBaseTest, ReplaysLastReportUntilTheFirstLiveReadThenNever) {
    writeFile(settingsPath("Switchpanel"), {0, 0x21, 0x43, 0x65});
    int device = hostsim::attach(hostsim::PanelKind::Switch);
    TestPanel panel(openVirtual(device), "Switchpanel", 0, 0, 0);
    panel.setRefreshPeriod(20);
    panel.start();
    ASSERT_TRUE(waitFor([&] { return panel.queuedEvents() >= 2; }));
    panel.drainEvents();
    ASSERT_GE(panel.seen.size(), 2u);
    for (const SeenEvent &event : panel.seen) {
        EXPECT_EQ(event.flag, 1);
        EXPECT_EQ(event.bytes, (std::vector<std::uint8_t>{0, 0x21, 0x43, 0x65}));
    }

    hostsim::queueInput(device, {0, 0x01, 0x02, 0x03});
    ASSERT_TRUE(waitFor([&] { return !panel.replayPending(); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(80));
    panel.seen.clear();
    panel.drainEvents();
    int live = 0;
    for (const SeenEvent &event : panel.seen) {
        if (event.flag == 0) {
            ++live;
            EXPECT_EQ(event.bytes, (std::vector<std::uint8_t>{0, 1, 2, 3}));
        }
    }
    EXPECT_EQ(live, 1);
    panel.seen.clear();
    std::this_thread::sleep_for(std::chrono::milliseconds(80));
    panel.drainEvents();
    EXPECT_TRUE(panel.seen.empty()) << "no replay after the first live read";
    panel.teardown();
    EXPECT_EQ(readFile(settingsPath("Switchpanel"))[1], 0x01) << "last report stored";
}

// The refresh period is far longer than the bound: a teardown that slept
// through it, or waited for the refresh thread's own sleep to end, fails.
TEST_F(PanelBaseTest, TeardownWakesBothThreadsWithoutWaitingARefreshPeriod) {
    int device = hostsim::attach(hostsim::PanelKind::Multi);
    TestPanel panel(openVirtual(device));
    panel.setRefreshPeriod(60000);
    panel.start();
    ASSERT_TRUE(waitFor([&] { return panel.reports.load() >= 1; }));
    auto begin = std::chrono::steady_clock::now();
    panel.teardown();
    auto took = std::chrono::steady_clock::now() - begin;
    EXPECT_LT(took, std::chrono::seconds(5));
    EXPECT_EQ(panel.reports.load(), 1) << "no report after the threads were told to stop";
    EXPECT_FALSE(hostsim::deviceOpen(device)) << "device closed";
    EXPECT_EQ(readFile(settingsPath("TestPanel")).size(), 1024u) << "settings written after the threads ended";
}

TEST_F(PanelBaseTest, ExchangeRequestsWakeTheRefreshThreadAndRunThereOnceEachBeforeTheNextReport) {
    int device = hostsim::attach(hostsim::PanelKind::Multi);
    TestPanel panel(openVirtual(device));
    panel.setRefreshPeriod(60000);
    panel.requestDeviceExchange();  // before start: runs first
    panel.start();
    ASSERT_TRUE(waitFor([&] { return panel.reports.load() == 1; }));
    EXPECT_EQ(panel.exchanges.load(), 1);
    EXPECT_EQ(panel.reportsBeforeExchange[0].load(), 0);

    // Asked during a 60 s sleep: runs at once, followed by a report before
    // the thread sleeps again. (Requests that meet merge: see below.)
    panel.requestDeviceExchange();
    ASSERT_TRUE(waitFor([&] { return panel.exchanges.load() == 2 && panel.reports.load() >= 2; }, 5000));
    EXPECT_EQ(panel.reportsBeforeExchange[1].load(), 1);
    EXPECT_LE(panel.reports.load(), 3);
    panel.teardown();
    EXPECT_NE(panel.exchangeThread, std::this_thread::get_id());
    EXPECT_EQ(panel.exchanges.load(), 2);
}

// An exchange that waits for the test twice: once before its read-back and
// once after it. Only the first exchange waits.
class GatedExchangePanel : public TestPanel {
public:
    using TestPanel::TestPanel;
    void deviceExchange() override {
        const bool first = exchanges.load() == 0;
        TestPanel::deviceExchange();
        if (!first) return;
        reached.store(1);
        waitFor([&] { return gate.load() >= 1; }, 5000);
        exchangeReadingBack();
        reached.store(2);
        waitFor([&] { return gate.load() >= 2; }, 5000);
    }
    std::atomic<int> reached{0};
    std::atomic<int> gate{0};
};

// Each aircraft the host loads asks for an exchange: requests made while
// one waits or runs before its read-back are served by it; those made after
// its read-back merge into one more.
TEST_F(PanelBaseTest, ExchangeRequestsMergeIntoThePendingOrRunningOne) {
    int device = hostsim::attach(hostsim::PanelKind::Multi);
    GatedExchangePanel panel(openVirtual(device));
    panel.setRefreshPeriod(60000);
    for (int i = 0; i < 5; ++i) panel.requestDeviceExchange();  // pending before start
    panel.start();
    ASSERT_TRUE(waitFor([&] { return panel.reached.load() == 1; }));
    for (int i = 0; i < 3; ++i) panel.requestDeviceExchange();  // running, not yet read back
    panel.gate.store(1);
    ASSERT_TRUE(waitFor([&] { return panel.reached.load() == 2; }));
    for (int i = 0; i < 4; ++i) panel.requestDeviceExchange();  // after the read-back
    panel.gate.store(2);
    ASSERT_TRUE(waitFor([&] { return panel.exchanges.load() == 2 && panel.reports.load() >= 1; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(panel.exchanges.load(), 2);
    panel.teardown();
    EXPECT_EQ(panel.exchanges.load(), 2);
}

// A change to the block reaches the file within a refresh period or two,
// while the panel runs: a crash of the host loses nothing. An unchanged
// block is not written again. The tail of a longer file is carried through,
// and teardown writes the same bytes once more.
TEST_F(PanelBaseTest, ChangedSettingsReachTheFileWhileThePanelRuns) {
    const std::string path = settingsPath("TestPanel");
    Bytes before(kSettingsSize + 100, 0x5A);
    before[kRepeatThresholdOffset] = 10;
    writeFile(path, before);
    std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    const auto old = std::filesystem::last_write_time(path);  // as the file system keeps it

    int device = hostsim::attach(hostsim::PanelKind::Multi);
    TestPanel panel(openVirtual(device));
    panel.setRefreshPeriod(10);
    panel.start();
    ASSERT_TRUE(waitFor([&] { return panel.reports.load() >= 5; }));
    EXPECT_EQ(std::filesystem::last_write_time(path), old) << "nothing changed, nothing written";

    struct Change {
        std::size_t index;
        std::uint8_t value;
    };
    const Change changes[] = {{kRepeatThresholdOffset, 42}, {kDriverSettingsOffset, 1}, {kSettingsSize - 1, 9}};
    for (const Change &change : changes) {
        panel.setSettingByte(change.index, change.value);
        before[change.index] = change.value;
        EXPECT_TRUE(waitFor([&] { return readFile(path) == before; })) << "byte " << change.index;
    }
    hostsim::queueInput(device, {0, 0x01, 0x02, 0x03});
    before[0] = 0x00;
    before[1] = 0x01;
    before[2] = 0x02;
    before[3] = 0x03;
    EXPECT_TRUE(waitFor([&] { return readFile(path) == before; })) << "the last report";
    EXPECT_FALSE(std::filesystem::exists(path + SettingsFile::kTemporarySuffix));

    panel.teardown();
    EXPECT_EQ(readFile(path), before);
}

TEST_F(PanelBaseTest, FailingReadsDoNotSpin) {
    int device = hostsim::attach(hostsim::PanelKind::Radio);
    hostsim::failReads(device, true);
    TestPanel panel(openVirtual(device));
    panel.start();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    long attempts = hostsim::readAttempts(device);
    EXPECT_GE(attempts, 2);
    EXPECT_LE(attempts, 10) << "a failed read waits before the next";
    EXPECT_FALSE(panel.replayPending()) << "a failed read also ends the replay";
    panel.teardown();
}

TEST_F(PanelBaseTest, UnreadableFolderLeavesPanelOnDefaults) {
    // A folder under a regular file cannot be created, not even by root.
    // Named after this run's own temporary folder, so runs never share it.
    const std::string blocker = (std::filesystem::temp_directory_path() /
                                 ("drovanel-file-" + std::filesystem::path(hostsim::prefsFolder()).filename().string()))
                                    .string();
    writeFile(blocker, {1});
    const std::string folder = blocker + "/sub";
    hostsim::setPrefsFolder(folder);
    hostsim::reset();
    ASSERT_EQ(hostsim::prefsFolder(), folder);
    {
        TestPanel panel(nullptr, "Multipanel");
        EXPECT_EQ(panel.coalescenceTime(), 250u);
        panel.setSettingByte(6, 99);
        panel.teardown();
    }
    EXPECT_EQ(hostsim::log(), "") << "no message when the file cannot be opened";
    EXPECT_FALSE(std::ifstream(folder + "/Drovanel.Multipanel.prf").good());
    hostsim::setPrefsFolder("");
    std::filesystem::remove(blocker);
}

}  // namespace
}  // namespace drovanel
