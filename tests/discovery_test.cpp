#include <gtest/gtest.h>

#include <map>

#include "discovery.h"
#include "fake_device_services.h"
#include "hostsim/hostsim.h"
#include "panel_ids.h"

namespace drovanel {
namespace {

// A registry that keeps what discovery hands it, and a creator that makes
// inert panels, so the walk is tested apart from the drivers.
class RecordingRegistry : public PanelRegistry {
public:
    bool slotEmpty(PanelSlot slot) const override { return slots.count(slot) == 0; }
    void adopt(PanelSlot slot, AbstractPanel *panel) override { slots[slot] = panel; }
    bool ignoreSwitchPanel() const override { return ignore; }
    ~RecordingRegistry() override {
        for (auto &entry : slots) {
            entry.second->teardown();
            delete entry.second;
        }
    }
    std::wstring pathOf(PanelSlot slot) const;
    std::map<PanelSlot, AbstractPanel *> slots;
    bool ignore = false;
};

class InertPanel : public AbstractPanel {
public:
    InertPanel(HidDevice *device, const char *name)
        : AbstractPanel(device, name, noReader, noReader, 0, 0, 0), path(static_cast<FakeDevice *>(device)->path()) {}
    ~InertPanel() override { teardown(); }
    std::wstring path;
};

std::wstring RecordingRegistry::pathOf(PanelSlot slot) const {
    auto found = slots.find(slot);
    return found == slots.end() ? L"" : static_cast<InertPanel *>(found->second)->path;
}

AbstractPanel *createInert(PanelSlot slot, HidDevice *device) {
    static const char *const names[] = {"Multipanel", "Switchpanel", "Radiopanel1", "Radiopanel2",
                                        "BacklitInformationPanel"};
    return new InertPanel(device, names[static_cast<int>(slot)]);
}

FakeRawDevice rawPanel(const wchar_t *name, std::uint16_t product) {
    return FakeRawDevice{name, kRawInputTypeHid, kSaitekVendorId, product};
}

class DiscoveryTest : public ::testing::Test {
protected:
    void SetUp() override { hostsim::reset(); }
    void discover() { discoverPanels(services, registry, createInert); }
    FakeDeviceServices services;
    RecordingRegistry registry;
};

TEST_F(DiscoveryTest, NoDevicesAtAll) {
    discover();
    EXPECT_EQ(hostsim::log(), "Drovanel : no input devices\n");
    EXPECT_TRUE(registry.slots.empty());
}

TEST_F(DiscoveryTest, ThreeRadioPanelsDriveTheFirstTwoInListOrder) {
    services.rawDevices = {rawPanel(L"r-a", kRadioPanelProductId), rawPanel(L"r-b", kRadioPanelProductId),
                           rawPanel(L"r-c", kRadioPanelProductId)};
    discover();
    EXPECT_EQ(registry.pathOf(PanelSlot::Radiopanel1), L"r-a");
    EXPECT_EQ(registry.pathOf(PanelSlot::Radiopanel2), L"r-b");
    EXPECT_EQ(services.opened, (std::vector<std::wstring>{L"r-a", L"r-b"})) << "the third is never opened";
    EXPECT_EQ(services.liveAllocations, 0);
}

TEST_F(DiscoveryTest, IgnoredSwitchPanelIsNotOpenedAndMultiPanelListedTwiceOpensOnce) {
    registry.ignore = true;
    services.rawDevices = {rawPanel(L"m1", kMultiPanelProductId), rawPanel(L"s", kSwitchPanelProductId),
                           rawPanel(L"m2", kMultiPanelProductId),
                           FakeRawDevice{L"mouse", 0, kSaitekVendorId, kMultiPanelProductId},
                           FakeRawDevice{L"other", kRawInputTypeHid, 0x1234, kMultiPanelProductId}};
    discover();
    EXPECT_EQ(services.opened, (std::vector<std::wstring>{L"m1"}));
    EXPECT_EQ(registry.pathOf(PanelSlot::Multipanel), L"m1");
    EXPECT_TRUE(registry.slotEmpty(PanelSlot::Switchpanel));
}

TEST_F(DiscoveryTest, RawNameThatFailsOpensInItsCorrectedForm) {
    services.rawDevices = {rawPanel(L"\\??\\HID#multi", kMultiPanelProductId)};
    services.openErrors[L"\\??\\HID#multi"] = 2;
    discover();
    EXPECT_EQ(registry.pathOf(PanelSlot::Multipanel), L"\\\\?\\HID#multi");
    EXPECT_EQ(hostsim::log(), "");
}

TEST_F(DiscoveryTest, BipThatFailsBothOpensLogsTheFirstCodeTwice) {
    services.rawDevices = {rawPanel(L"\\??\\bip", kBipProductId)};
    services.openErrors[L"\\??\\bip"] = 5;
    services.openErrors[L"\\\\?\\bip"] = 32;
    discover();
    EXPECT_EQ(hostsim::log(), "error code 5\nerror code 5\n");
    EXPECT_TRUE(registry.slots.empty());
}

TEST_F(DiscoveryTest, BipFoundInTheInterfaceWalkIsNotOpenedAgain) {
    services.interfaceDevices = {{FakeInterface{L"hid-kbd", 0x045E, 0x0001}},
                                 {FakeInterface{L"hid-bip", kSaitekVendorId, kBipProductId},
                                  FakeInterface{L"hid-bip-2", kSaitekVendorId, kBipProductId}}};
    services.rawDevices = {rawPanel(L"raw-bip", kBipProductId)};
    discover();
    EXPECT_EQ(hostsim::log(), "Drovanel: BIP listed\n");
    EXPECT_EQ(registry.pathOf(PanelSlot::Bip), L"hid-bip");
    EXPECT_EQ(services.opened, (std::vector<std::wstring>{L"hid-kbd", L"hid-bip"}))
        << "the keyboard is opened, identified and closed; the BIP's second interface is skipped";
    EXPECT_EQ(services.closed, (std::vector<std::wstring>{L"hid-kbd"}));
    EXPECT_EQ(services.liveAllocations, 0);
}

TEST_F(DiscoveryTest, InterfaceWalkErrorsAreLoggedAndTheWalkGoesOn) {
    FakeInterface retries{L"hid-a", kSaitekVendorId, kBipProductId};
    retries.insufficientAnswers = 10;  // more than five answers of 122: given up silently
    FakeInterface broken{L"hid-b", kSaitekVendorId, kBipProductId};
    broken.detailError = 87;
    FakeInterface unopenable{L"hid-c", kSaitekVendorId, kBipProductId};
    FakeInterface noAttributes{L"hid-d", kSaitekVendorId, kBipProductId};
    noAttributes.attributesFail = true;
    FakeInterface bip{L"hid-e", kSaitekVendorId, kBipProductId};
    bip.insufficientAnswers = 5;  // the fifth try with a record succeeds
    services.interfaceDevices = {{retries, broken, unopenable, noAttributes, bip}};
    services.openErrors[L"hid-c"] = 5;
    services.openErrors[L"h\\d-c"] = 5;
    discover();
    EXPECT_EQ(hostsim::log(),
              "Drovanel : can not get device class guid code 87\n"
              "Drovanel : no handle error=5\n"
              "Drovanel : no hid attributes error=31\n"
              "Drovanel: BIP listed\n"
              "Drovanel : no input devices\n");
    EXPECT_EQ(registry.pathOf(PanelSlot::Bip), L"hid-e");
    EXPECT_EQ(services.closed, (std::vector<std::wstring>{L"hid-d"}));
    EXPECT_EQ(services.liveAllocations, 0);
}

TEST_F(DiscoveryTest, InterfaceSetAndAbnormalEndsAreReported) {
    services.setFails = true;
    discover();
    EXPECT_EQ(hostsim::log(), "Drovanel : Creation of handle to device info failed\nDrovanel : no input devices\n");

    hostsim::clearLog();
    services.setFails = false;
    services.interfaceDevices = {{FakeInterface{L"x", 1, 2}}};
    services.endOfInterfacesError = 1784;
    services.endOfDevicesError = 13;
    discover();
    EXPECT_EQ(hostsim::log(),
              "Drovanel : unormal end of interface list with code 1784\n"
              "Drovanel : unormal end of device list with code 13\n"
              "Drovanel : no input devices\n");
}

TEST_F(DiscoveryTest, RawInputFailuresSkipOnlyTheirDevice) {
    FakeRawDevice noLength = rawPanel(L"a", kMultiPanelProductId);
    noLength.nameLengthFails = true;
    FakeRawDevice noName = rawPanel(L"b", kMultiPanelProductId);
    noName.nameFails = true;
    FakeRawDevice noInfo = rawPanel(L"c", kMultiPanelProductId);
    noInfo.infoFails = true;
    services.rawDevices = {noLength, noName, noInfo, rawPanel(L"d", kMultiPanelProductId)};
    discover();
    EXPECT_EQ(hostsim::log(),
              "Drovanel : Unable to get Device Name character count.. Moving to next device."
              "Drovanel : Unable to get Device Name. Moving to next device."
              "Drovanel : Unable to read Device Info. Moving to next device.");
    EXPECT_EQ(registry.pathOf(PanelSlot::Multipanel), L"d");
    EXPECT_EQ(services.liveAllocations, 0);
}

TEST_F(DiscoveryTest, AllocationFailures) {
    services.rawDevices = {rawPanel(L"a", kMultiPanelProductId), rawPanel(L"b", kSwitchPanelProductId)};
    services.failAllocationAt = 0;
    discover();
    EXPECT_EQ(hostsim::log(), "Drovanel : Could not allocate memory for device list.\n");
    EXPECT_TRUE(registry.slots.empty());

    hostsim::clearLog();
    services.allocationCalls = 0;
    services.failAllocationAt = 1;  // the first device's name
    discover();
    EXPECT_EQ(hostsim::log(), "Drovanel : Unable to allocate memory for Device Name.. Moving to next device.");
    EXPECT_TRUE(registry.slotEmpty(PanelSlot::Multipanel));
    EXPECT_FALSE(registry.slotEmpty(PanelSlot::Switchpanel));

    hostsim::clearLog();
    services.failAllocationAt = -1;
    services.listFails = true;
    RecordingRegistry fresh;
    discoverPanels(services, fresh, createInert);
    EXPECT_EQ(hostsim::log(), "Drovanel : Could not get device list.");
    EXPECT_EQ(services.liveAllocations, 0);
}

}  // namespace
}  // namespace drovanel
