// Built into both test binaries: the 64-bit behaviour (messages, both locks)
// and the 32-bit one (a silent reset).
#include <gtest/gtest.h>

#include <string>

#include "behaviour.h"
#include "hostsim/hostsim.h"
#include "hostsim/panels/switchpanel.h"
#include "switchpanel.h"

namespace drovanel {
namespace {

const char *const kExpectedLog = kBehaviour32 ? "" : "init start\ninit done\n";

TEST(SwitchpanelInitialize, LogsAtConstructionAndOnEveryCall) {
    hostsim::reset();
    Switchpanel panel(nullptr);
    EXPECT_EQ(hostsim::log(), kExpectedLog);

    hostsim::clearLog();
    panel.initialize();
    EXPECT_EQ(hostsim::log(), kExpectedLog);
    panel.teardown();
}

int fired(const std::string &path) {
    int n = 0;
    for (const auto &call : hostsim::commandJournal()) n += call.path == path ? 1 : 0;
    return n;
}

TEST(SwitchpanelInitialize, ForgetsEveryHandleEvenWithTheSameEngineCount) {
    hostsim::reset();
    hostsim::setInt("sim/aircraft/engine/acf_num_engines", 1);
    Switchpanel panel(nullptr);
    hostsim::switchpanel::Switches s;
    s.beacon = true;
    s.magneto = hostsim::switchpanel::Magneto::Left;
    const auto report = hostsim::switchpanel::inputReport(s);
    panel.handleEvent(report.data(), 4, 0, 0);
    EXPECT_EQ(fired("sim/lights/beacon_lights_on"), 1);
    EXPECT_EQ(fired("sim/magnetos/magnetos_left_1"), 1);

    // A newly loaded aircraft without these commands, same engine count.
    hostsim::hideCommand("sim/lights/beacon_lights_on");
    hostsim::hideCommand("sim/magnetos/magnetos_left_1");
    panel.initialize();
    hostsim::clearCommandJournal();
    panel.handleEvent(report.data(), 4, 0, 0);
    EXPECT_EQ(fired("sim/lights/beacon_lights_on"), 0);
    EXPECT_EQ(fired("sim/magnetos/magnetos_left_1"), 0);
    EXPECT_EQ(fired("sim/igniters/igniter_arm_on_1"), 1);
    EXPECT_EQ(hostsim::nullCommandFaults(), 0);
    panel.teardown();
}

}  // namespace
}  // namespace drovanel
