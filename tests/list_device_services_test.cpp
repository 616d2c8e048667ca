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

// A device plugged back in mid-walk lands before the others in the list:
// whenever it happens, each panel opened is one whose ids gave its slot.
TEST(ListDeviceServicesTest, AListChangedMidWalkNeverPairsOnePanelsPathWithAnothersIds) {
    for (int calls = 0; calls < 40; ++calls) {
        hostsim::reset();
        int multi = hostsim::attach(hostsim::PanelKind::Multi);
        hostsim::detach(multi);
        int radio = hostsim::attach(hostsim::PanelKind::Radio);
        int switches = hostsim::attach(hostsim::PanelKind::Switch);
        hostsim::changeListAfter(calls, [multi] { hostsim::plug(multi); });
        CountingRegistry registry;
        discoverPanels(systemDeviceServices(), registry, createQuiet);
        const struct {
            PanelSlot slot;
            int device;
        } rows[] = {{PanelSlot::Multipanel, multi}, {PanelSlot::Radiopanel1, radio}, {PanelSlot::Switchpanel, switches}};
        for (const auto &row : rows) {
            const bool filled = registry.panels[static_cast<int>(row.slot)] != nullptr;
            EXPECT_EQ(filled, hostsim::deviceOpen(row.device)) << "change after " << calls << " calls, slot "
                                                               << static_cast<int>(row.slot);
        }
        EXPECT_EQ(registry.panels[static_cast<int>(PanelSlot::Radiopanel2)], nullptr);
    }
}

}  // namespace
}  // namespace drovanel
