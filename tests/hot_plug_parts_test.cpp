// The pieces of hot-plug without the plug-in: path keys and ids from
// device paths, the watch's change flag over a scripted list, and the
// slots' device bookkeeping.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <initializer_list>
#include <mutex>
#include <thread>
#include <vector>

#include "device_pickup.h"
#include "device_watch.h"
#include "panel_ids.h"
#include "plugin/slot_devices.h"

namespace drovanel {
namespace {

TEST(DevicePathKeyTest, SameDeviceFromEitherWindowsListComparesEqual) {
    struct Row {
        const char *a;
        const char *b;
        bool same;
    };
    const Row rows[] = {
        {"\\??\\HID#VID_06A3&PID_0D05#7&1", "\\\\?\\hid#vid_06a3&pid_0d05#7&1", true},
        {"/dev/hidraw3", "/dev/hidraw3", true},
        {"/dev/hidraw3", "/dev/hidraw4", false},
        {"vhid:3", "vhid:3.2", false},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(devicePathKey(std::string(row.a)) == devicePathKey(std::string(row.b)), row.same) << row.a;
    }
    EXPECT_EQ(devicePathKey(L"\\??\\HID#A"), "\\\\?\\hid#a");
}

TEST(DevicePathKeyTest, IdsFromWindowsPaths) {
    struct Row {
        const char *path;
        bool found;
        std::uint16_t vendor;
        std::uint16_t product;
    };
    const Row rows[] = {
        {"\\\\?\\hid#vid_06a3&pid_0d05#7&2a&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}", true, 0x06A3, 0x0D05},
        {"\\\\?\\HID#VID_06A3&PID_0B4E#8", true, 0x06A3, 0x0B4E},
        {"\\\\?\\hid#vid_06a3&pid_0d0", false, 0, 0},  // cut short
        {"\\\\?\\hid#vid_0g00&pid_0001", false, 0, 0},
        {"\\\\?\\root#keyboard#0000", false, 0, 0},
    };
    for (const Row &row : rows) {
        std::uint16_t vendor = 0;
        std::uint16_t product = 0;
        EXPECT_EQ(idsFromDevicePath(row.path, &vendor, &product), row.found) << row.path;
        if (row.found) {
            EXPECT_EQ(vendor, row.vendor) << row.path;
            EXPECT_EQ(product, row.product) << row.path;
        }
    }
}

// The list the watch's lister hands out; tests change it between listings
// (under the lock while the watch's thread runs).
std::mutex gListedLock;
std::vector<ListedDevice> gListed;
bool gListWorks = true;
bool scriptedLister(std::vector<ListedDevice> *out) {
    std::lock_guard<std::mutex> hold(gListedLock);
    if (!gListWorks) return false;
    *out = gListed;
    return true;
}

ListedDevice panel(const char *path, std::uint16_t product, const char *instance = "") {
    return ListedDevice{path, instance, kSaitekVendorId, product};
}

TEST(DeviceWatchTest, FlagsChangesOfThePanelsOnly) {
    gListed = {panel("a", kRadioPanelProductId)};
    gListWorks = true;
    DeviceWatch watch(scriptedLister);
    watch.listNow();
    EXPECT_TRUE(watch.takeChange()) << "panels present at the first listing";
    EXPECT_FALSE(watch.takeChange()) << "taking clears it";
    watch.listNow();
    EXPECT_FALSE(watch.takeChange());

    gListed.push_back(ListedDevice{"mouse", "", 0x046D, 0xC077});
    watch.listNow();
    EXPECT_FALSE(watch.takeChange()) << "another vendor's device";

    gListed[0].instance = "again";
    watch.listNow();
    EXPECT_TRUE(watch.takeChange()) << "same path, new appearance";

    gListWorks = false;
    gListed.clear();
    watch.listNow();
    EXPECT_FALSE(watch.takeChange()) << "a failed listing keeps the last list";
    std::vector<ListedDevice> seen;
    watch.snapshot(&seen);
    EXPECT_EQ(seen.size(), 2u);
    gListWorks = true;
}

TEST(DeviceWatchTest, ThreadListsUntilStopped) {
    gListed = {};
    gListWorks = true;
    DeviceWatch watch(scriptedLister, 5);
    watch.start();
    {
        std::lock_guard<std::mutex> hold(gListedLock);
        gListed = {panel("a", kBipProductId)};
    }
    // The first listing raises a change in any case: wait for the panel.
    std::vector<ListedDevice> seen;
    for (int i = 0; i < 400 && seen.empty(); ++i) {
        if (watch.takeChange()) watch.snapshot(&seen);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].path, "a");
    watch.stop();
    std::vector<ListedDevice> after;
    watch.snapshot(&after);
    EXPECT_TRUE(after.empty()) << "stop forgets the list";
    watch.stop();  // twice is harmless
}

// Waits up to two seconds for the watch's thread to raise a change.
bool changeWithinTwoSeconds(DeviceWatch &watch) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!watch.takeChange()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// A panel unplugged and plugged back between two listings, in each way a
// system names it again: the list may look exactly as before (Windows, the
// same port), so only the listing that a reader's news asks for tells.
TEST(DeviceWatchTest, AForcedListingIsAChangeHoweverThePanelCameBack) {
    struct Row {
        const char *how;
        ListedDevice back;
        bool changeUnforced;
    };
    const Row rows[] = {
        {"same path, no instance", panel("a", kRadioPanelProductId), false},
        {"same path, new instance", panel("a", kRadioPanelProductId, "2"), true},
        {"new path", panel("a.2", kRadioPanelProductId), true},
    };
    for (const Row &row : rows) {
        gListWorks = true;
        gListed = {panel("a", kRadioPanelProductId)};
        DeviceWatch watch(scriptedLister);
        watch.listNow();
        ASSERT_TRUE(watch.takeChange());
        gListed = {row.back};
        watch.listNow();
        EXPECT_EQ(watch.takeChange(), row.changeUnforced) << row.how;

        watch.listSoon();
        watch.listNow();
        EXPECT_TRUE(watch.takeChange()) << row.how << ": the forced listing, the list unchanged";
        watch.listNow();
        EXPECT_FALSE(watch.takeChange()) << row.how << ": forced once only";

        // A forced listing that fails hands its change on to the next one.
        watch.listSoon();
        gListWorks = false;
        watch.listNow();
        EXPECT_FALSE(watch.takeChange()) << row.how;
        gListWorks = true;
        watch.listNow();
        EXPECT_TRUE(watch.takeChange()) << row.how << ": after a failed listing";
    }
}

// listSoon wakes the thread long before its period ends, and the unchanged
// list it finds still counts.
TEST(DeviceWatchTest, ListSoonWakesTheThreadOverAnUnchangedList) {
    gListWorks = true;
    gListed = {panel("a", kRadioPanelProductId)};
    DeviceWatch watch(scriptedLister, 60 * 1000);
    watch.start();
    ASSERT_TRUE(changeWithinTwoSeconds(watch)) << "the first listing";
    watch.listSoon();
    EXPECT_TRUE(changeWithinTwoSeconds(watch));
    watch.stop();
}

// Disable and enable stop and start the watch: the thread started again
// lists each period as the first one did.
TEST(DeviceWatchTest, StartedAgainAfterAStopItFindsANewDeviceOnItsOwn) {
    constexpr std::uint32_t kPeriodMs = 20;
    {
        std::lock_guard<std::mutex> hold(gListedLock);
        gListWorks = true;
        gListed = {panel("a", kRadioPanelProductId)};
    }
    DeviceWatch watch(scriptedLister, kPeriodMs);
    watch.start();
    ASSERT_TRUE(changeWithinTwoSeconds(watch));
    watch.stop();
    watch.start();
    ASSERT_TRUE(changeWithinTwoSeconds(watch)) << "the restarted thread's first listing";
    // The thread lists with the period from now on; the test never does.
    {
        std::lock_guard<std::mutex> hold(gListedLock);
        gListed.push_back(panel("b", kBipProductId));
    }
    const auto added = std::chrono::steady_clock::now();
    ASSERT_TRUE(changeWithinTwoSeconds(watch)) << "the new device";
    std::vector<ListedDevice> seen;
    watch.snapshot(&seen);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].path, "b");
    // Found by the periodic listing: well within a few periods (generous
    // for slow sanitizer builds), not by some later wake-up.
    EXPECT_LT(std::chrono::steady_clock::now() - added, std::chrono::milliseconds(50 * kPeriodMs));
    watch.stop();
}

// listSoon() asks for one listing: when it fails, the watch waits its
// period before the next, as after any other failed listing.
TEST(DeviceWatchTest, AFailedListingAfterListSoonWaitsItsPeriod) {
    static std::atomic<long> listings{0};
    listings = 0;
    DeviceWatch watch([](std::vector<ListedDevice> *) {
        listings.fetch_add(1);
        return false;
    }, 50);
    watch.start();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    watch.listSoon();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    watch.stop();
    EXPECT_GE(listings.load(), 2);
    EXPECT_LE(listings.load(), 8) << "the first, the one asked for, one per 50 ms period";
}

// The pickup's opener: records each path tried; paths in gRefused fail.
std::vector<std::string> gTried;
std::vector<std::string> gRefused;
class NoDevice : public HidDevice {
public:
    int read(std::uint8_t *, int, const wchar_t *) override { return kReadCancelled; }
    void cancel() override {}
    bool setFeature(const std::uint8_t *, int) override { return false; }
    bool getFeature(std::uint8_t *, int) override { return false; }
};
HidDevice *recordingOpener(const std::string &path, std::uint32_t *error) {
    gTried.push_back(path);
    if (std::find(gRefused.begin(), gRefused.end(), path) != gRefused.end()) {
        *error = 13;
        return nullptr;
    }
    return new NoDevice;
}

PickupDemand emptySlots(std::initializer_list<PanelSlot> slots, bool ignoreSwitch = false) {
    PickupDemand demand;
    for (PanelSlot slot : slots) demand.slotEmpty[static_cast<int>(slot)] = true;
    demand.ignoreSwitchPanel = ignoreSwitch;
    return demand;
}

// Which listed panel the pickup opens for which slot, by discovery's rules.
TEST(DevicePickupTest, OpensWhatTheEmptySlotsWantAndNothingElse) {
    struct Row {
        const char *what;
        PickupDemand demand;
        std::vector<ListedDevice> listed;
        std::vector<std::string> tried;
        PanelSlot slot;  // where the first opened device waits
    };
    PickupDemand heldRadio = emptySlots({PanelSlot::Radiopanel2});
    heldRadio.held[static_cast<int>(PanelSlot::Radiopanel1)] = "r1";
    const Row rows[] = {
        {"a radio goes to the first free radio slot", emptySlots({PanelSlot::Radiopanel1, PanelSlot::Radiopanel2}),
         {panel("r", kRadioPanelProductId)}, {"r"}, PanelSlot::Radiopanel1},
        {"the held radio is left alone", heldRadio,
         {panel("R1", kRadioPanelProductId), panel("r2", kRadioPanelProductId)}, {"r2"}, PanelSlot::Radiopanel2},
        {"an ignored Switch Panel is not opened", emptySlots({PanelSlot::Switchpanel}, true),
         {panel("s", kSwitchPanelProductId)}, {}, PanelSlot::Switchpanel},
        {"no slot, no open", emptySlots({PanelSlot::Bip}), {panel("m", kMultiPanelProductId)}, {},
         PanelSlot::Multipanel},
        {"another maker's device is never opened", emptySlots({PanelSlot::Multipanel}),
         {ListedDevice{"k", "", 0x046D, kMultiPanelProductId}}, {}, PanelSlot::Multipanel},
        {"a held device that left: wait for its teardown", heldRadio, {panel("r2", kRadioPanelProductId)}, {},
         PanelSlot::Radiopanel2},
    };
    for (const Row &row : rows) {
        gTried.clear();
        DevicePickup pickup(recordingOpener);
        pickup.setDemand(row.demand);
        pickup.pass(row.listed, 0);
        EXPECT_EQ(gTried, row.tried) << row.what;
        std::string key;
        HidDevice *device = pickup.take(row.slot, &key);
        EXPECT_EQ(device != nullptr, !row.tried.empty()) << row.what;
        delete device;
    }
}

TEST(DevicePickupTest, RetriesWithGrowingPausesThenReportsOnceAndClosesStaleDevices) {
    gTried.clear();
    gRefused = {"m"};
    DevicePickup pickup(recordingOpener);
    pickup.setDemand(emptySlots({PanelSlot::Multipanel, PanelSlot::Bip}));
    const std::vector<ListedDevice> listed = {panel("m", kMultiPanelProductId, "1")};
    std::uint32_t now = 0xFFFFFF00u;  // the retries cross the tick's wrap
    std::vector<std::uint32_t> pauses;
    for (int i = 0; i < 1000 && !pickup.ready(); ++i) {
        const std::size_t before = gTried.size();
        const std::uint32_t in = pickup.pass(listed, now);
        if (gTried.size() > before && in != 0) pauses.push_back(in);
        now += 10;
    }
    EXPECT_EQ(pauses, (std::vector<std::uint32_t>{50, 100, 200, 400, 800, 1600}));
    {
        // A retry due for a slot no longer wanted does not hurry the watch.
        DevicePickup other(recordingOpener);
        other.setDemand(emptySlots({PanelSlot::Multipanel}));
        EXPECT_EQ(other.pass(listed, 0), kOpenRetryFirstMs);
        other.setDemand(PickupDemand());
        EXPECT_EQ(other.pass(listed, 1000), 0u);
    }
    std::string path;
    std::uint32_t error = 0;
    ASSERT_TRUE(pickup.takeGiveUp(&path, &error));
    EXPECT_EQ(path, "m");
    EXPECT_EQ(error, 13u);
    EXPECT_FALSE(pickup.takeGiveUp(&path, &error));
    const std::size_t tries = gTried.size();
    EXPECT_EQ(pickup.pass(listed, now + 5000), 0u);
    EXPECT_EQ(gTried.size(), tries) << "not again while this appearance stays listed";

    // Another appearance at the same path is tried afresh and opens.
    gRefused.clear();
    pickup.pass({panel("m", kMultiPanelProductId, "2")}, now);
    EXPECT_TRUE(pickup.ready());
    // A slot filled meanwhile: the device waiting for it is closed.
    pickup.setDemand(emptySlots({PanelSlot::Bip}));
    EXPECT_FALSE(pickup.ready());
    std::string key;
    EXPECT_EQ(pickup.take(PanelSlot::Multipanel, &key), nullptr);
}

// A registry with the slots it is told are filled.
class Slots : public PanelRegistry {
public:
    bool slotEmpty(PanelSlot slot) const override { return !filled[static_cast<int>(slot)]; }
    void adopt(PanelSlot, AbstractPanel *) override {}
    bool ignoreSwitchPanel() const override { return ignoreSwitch; }
    bool filled[kPanelSlotCount] = {};
    bool ignoreSwitch = false;
};

TEST(SlotDevicesTest, GoneWhenUnlistedOrListedAsAnotherAppearance) {
    SlotDevices devices;
    devices.held(PanelSlot::Radiopanel1, "r1");
    devices.held(PanelSlot::Bip, "bip");
    EXPECT_EQ(devices.goneSlots({panel("R1", kRadioPanelProductId, "x"), panel("bip", kBipProductId, "y")}), 0u);
    EXPECT_EQ(devices.goneSlots({panel("r1", kRadioPanelProductId, "x2"), panel("bip", kBipProductId, "y")}),
              1u << static_cast<int>(PanelSlot::Radiopanel1));
    EXPECT_EQ(devices.goneSlots({panel("r1", kRadioPanelProductId, "x")}),
              1u << static_cast<int>(PanelSlot::Bip));
    devices.released(PanelSlot::Bip);
    EXPECT_EQ(devices.goneSlots({panel("r1", kRadioPanelProductId, "x")}), 0u);
}

TEST(SlotDevicesTest, FailedDevicesAreSkippedUntilTheyLeaveTheList) {
    SlotDevices devices;
    Slots registry;
    const std::vector<ListedDevice> listed = {panel("m", kMultiPanelProductId, "1")};
    devices.goneSlots(listed);
    EXPECT_TRUE(devices.adoptable(listed, registry));
    devices.openFailed("m");
    EXPECT_TRUE(devices.skip("m"));
    devices.goneSlots(listed);
    EXPECT_FALSE(devices.adoptable(listed, registry)) << "same appearance";
    devices.goneSlots({});
    EXPECT_FALSE(devices.skip("m")) << "it left: tried again when it returns";

    devices.openFailed("m");
    devices.goneSlots(listed);  // learns the appearance
    devices.goneSlots({panel("m", kMultiPanelProductId, "2")});
    EXPECT_FALSE(devices.skip("m")) << "back as another appearance between two listings";
}

TEST(SlotDevicesTest, AdoptableFollowsDiscoverysSlots) {
    SlotDevices devices;
    Slots registry;
    struct Row {
        std::uint16_t product;
        std::vector<PanelSlot> filled;
        bool ignoreSwitch;
        bool adoptable;
    };
    const Row rows[] = {
        {kRadioPanelProductId, {}, false, true},
        {kRadioPanelProductId, {PanelSlot::Radiopanel1}, false, true},
        {kRadioPanelProductId, {PanelSlot::Radiopanel1, PanelSlot::Radiopanel2}, false, false},
        {kSwitchPanelProductId, {}, true, false},
        {kSwitchPanelProductId, {}, false, true},
        {kBipProductId, {PanelSlot::Bip}, false, false},
        {0x1234, {}, false, false},
    };
    for (const Row &row : rows) {
        Slots r;
        for (PanelSlot slot : row.filled) r.filled[static_cast<int>(slot)] = true;
        r.ignoreSwitch = row.ignoreSwitch;
        EXPECT_EQ(devices.adoptable({panel("p", row.product)}, r), row.adoptable) << row.product;
    }
    devices.held(PanelSlot::Multipanel, "p");
    EXPECT_FALSE(devices.adoptable({panel("P", kRadioPanelProductId)}, registry)) << "held already";
}

}  // namespace
}  // namespace drovanel
