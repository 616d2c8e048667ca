// Discovery over a plain device list (the virtual and hidraw backends).
#include <gtest/gtest.h>

#include "discovery.h"
#include "hid/device_services.h"
#include "hostsim/hostsim.h"
#include "panel_ids.h"

namespace drovanel {
namespace {

class CountingRegistry : public PanelRegistry {
public:
    bool slotEmpty(PanelSlot slot) const override { return panels[static_cast<int>(slot)] == nullptr; }
    void adopt(PanelSlot slot, AbstractPanel *panel) override { panels[static_cast<int>(slot)] = panel; }
    bool ignoreSwitchPanel() const override { return false; }
    ~CountingRegistry() override {
        for (AbstractPanel *panel : panels) {
            if (panel == nullptr) continue;
            panel->teardown();
            delete panel;
        }
    }
    AbstractPanel *panels[kPanelSlotCount] = {};
};

AbstractPanel *createQuiet(PanelSlot, HidDevice *device) {
    return new AbstractPanel(device, "Quiet", AbstractPanel::noReader, AbstractPanel::noReader, 0, 0, 0);
}

TEST(ListDeviceServicesTest, InterfaceWalkOpensOnlySaitekDevicesAndFindsTheBip) {
    hostsim::reset();
    int keyboard = hostsim::attachDevice(0x045E, 0x0001);
    int bip = hostsim::attach(hostsim::PanelKind::Bip);
    CountingRegistry registry;
    scanHidInterfaces(systemDeviceServices(), registry, createQuiet);
    EXPECT_EQ(hostsim::openCount(keyboard), 0) << "another maker's device is left alone";
    EXPECT_EQ(hostsim::openCount(bip), 1);
    EXPECT_NE(registry.panels[static_cast<int>(PanelSlot::Bip)], nullptr);
    EXPECT_EQ(hostsim::log(), "Drovanel: BIP listed\n");
}

TEST(ListDeviceServicesTest, AFailedOpenReportsTheFirstTrysError) {
    hostsim::reset();
    int bip = hostsim::attach(hostsim::PanelKind::Bip);
    hostsim::failOpen(bip, true);
    CountingRegistry registry;
    discoverPanels(systemDeviceServices(), registry, createQuiet);
    // The virtual backend reports a refused open as access denied (5); the
    // second try's path is not listed and must not hide that.
    EXPECT_EQ(hostsim::log(), "Drovanel : no handle error=5\nerror code 5\nerror code 5\n");
}

}  // namespace
}  // namespace drovanel
