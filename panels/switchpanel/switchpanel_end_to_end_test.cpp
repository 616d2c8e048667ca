// The driver as discovery creates it over a virtual panel, with its reader
// and refresh threads running.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "discovery.h"
#include "hid/device_services.h"
#include "hostsim/hostsim.h"
#include "hostsim/panels/switchpanel.h"
#include "panel_factory.h"

namespace drovanel {
namespace {

namespace sim = hostsim::switchpanel;

class TestRegistry : public PanelRegistry {
public:
    bool slotEmpty(PanelSlot slot) const override { return slots[static_cast<int>(slot)] == nullptr; }
    void adopt(PanelSlot slot, AbstractPanel *panel) override {
        slots[static_cast<int>(slot)] = panel;
    }
    bool ignoreSwitchPanel() const override { return false; }

    AbstractPanel *slots[kPanelSlotCount] = {};
};

bool waitFor(const std::function<bool()> &done) {
    for (int i = 0; i < 400; ++i) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
}

int fired(hostsim::CommandPhase phase, const std::string &path) {
    int n = 0;
    for (const auto &call : hostsim::commandJournal()) {
        n += call.phase == phase && call.path == path ? 1 : 0;
    }
    return n;
}

TEST(SwitchpanelEndToEnd, StoredSwitchPositionsAreTakenOverAtStart) {
    hostsim::reset();
    hostsim::setInt("sim/aircraft/engine/acf_num_engines", 1);
    hostsim::setInt("sim/aircraft/electrical/num_batteries", 2);
    for (int i = 0; i < 3; ++i) {
        hostsim::setIntAt("sim/aircraft/parts/acf_gear_type", i, 2);
        hostsim::setFloatAt("sim/aircraft/parts/acf_gear_deploy", i, 1.0f);
    }

    // The positions stored when the panel was last torn down.
    sim::Switches stored;
    stored.battery = true;
    stored.beacon = true;
    stored.magneto = sim::Magneto::Both;
    stored.gear = sim::GearLever::Down;
    std::vector<std::uint8_t> block(1024, 0);
    const auto report = sim::inputReport(stored);
    std::copy(report.begin(), report.end(), block.begin());
    {
        std::ofstream file(hostsim::prefsFile("Drovanel.Switchpanel.prf"), std::ios::binary);
        file.write(reinterpret_cast<const char *>(block.data()), static_cast<long>(block.size()));
    }

    const int device = hostsim::attach(hostsim::PanelKind::Switch);
    TestRegistry registry;
    discoverPanels(systemDeviceServices(), registry, createPanel);
    AbstractPanel *panel = registry.slots[static_cast<int>(PanelSlot::Switchpanel)];
    ASSERT_NE(panel, nullptr);

    // The panel has sent nothing yet: the refresh thread replays the stored report.
    ASSERT_TRUE(waitFor([&] { return panel->queuedEvents() > 0; }));
    panel->update();

    EXPECT_GE(fired(hostsim::CommandPhase::Once, "sim/lights/beacon_lights_on"), 1);
    EXPECT_GE(fired(hostsim::CommandPhase::End, "sim/engines/engage_starters"), 1);
    EXPECT_GE(fired(hostsim::CommandPhase::Once, "sim/magnetos/magnetos_both_1"), 1);
    EXPECT_GE(fired(hostsim::CommandPhase::Once, "sim/flight_controls/landing_gear_down"), 1);
    EXPECT_EQ(hostsim::getIntAt("sim/cockpit/electrical/battery_array_on", 0), 1);
    EXPECT_EQ(hostsim::getIntAt("sim/cockpit/electrical/battery_array_on", 1), 1);

    // The battery the replay switched on powers the lamps from the next update.
    const std::size_t reportsBefore = hostsim::featureReports(device).size();
    panel->update();
    const auto lamps = hostsim::waitFeature(device, 0, 2, reportsBefore, 2000);
    EXPECT_EQ(sim::gearLampsText(lamps), "1 down, 2 down, 3 down");

    panel->setRefreshPeriod(10);
    panel->teardown();
    delete panel;
    EXPECT_TRUE(hostsim::offThreadCalls().empty());
    EXPECT_EQ(hostsim::nullCommandFaults(), 0);
}

}  // namespace
}  // namespace drovanel
