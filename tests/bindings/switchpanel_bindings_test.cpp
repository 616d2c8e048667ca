// The Switch Panel's binding tables driven through the host under each
// modelled simulator version: each switch's on and off positions, the
// magneto rotary, the gear lever and the gear lamps. Inverters, pitot heat,
// the starter and de-ice act through the simulator's own names.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bindings_support.h"
#include "hostsim/panels/switchpanel.h"
#include "switchpanel/switchpanel.h"

namespace drovanel {
namespace {

namespace sim = hostsim::switchpanel;
using bindings::RecordingDevice;
using hostsim::SimulatorVersion;
using Lines = std::vector<std::string>;

// Lines of a that b lacks (each line of b cancels one of a), in a's order.
Lines minus(Lines a, const Lines &b) {
    for (const std::string &line : b) {
        auto it = std::find(a.begin(), a.end(), line);
        if (it != a.end()) a.erase(it);
    }
    return a;
}

// The de-ice writes: the master in 11.40, the four switches in 12.
Lines deIceWrites(SimulatorVersion version, int value) {
    const std::string v = "[0]=" + std::to_string(value);
    if (version == SimulatorVersion::XPlane1140) return {"sim/cockpit2/ice/ice_all_on" + v};
    return {"sim/cockpit2/ice/ice_surfce_heat_on" + v, "sim/cockpit2/ice/ice_window_heat_on" + v,
            "sim/cockpit2/ice/ice_inlet_heat_on" + v, "sim/cockpit2/ice/ice_prop_heat_on" + v};
}

struct SwitchRow {
    const char *name;
    bool sim::Switches::*member;
    Lines on;   // what the switch sends when on and not when off
    Lines off;  // and the reverse
};

// De-ice's writes depend on the version and are added by the test.
const SwitchRow kSwitchRows[] = {
    {"battery", &sim::Switches::battery,
     {"sim/cockpit/electrical/battery_array_on[0]=1"}, {"sim/cockpit/electrical/battery_array_on[0]=0"}},
    {"generator", &sim::Switches::generator,
     {"sim/cockpit2/electrical/generator_on[0]=1"}, {"sim/cockpit2/electrical/generator_on[0]=0"}},
    {"avionics", &sim::Switches::avionics, {"once sim/systems/avionics_on"}, {"once sim/systems/avionics_off"}},
    {"fuel pump", &sim::Switches::fuelPump,
     {"once sim/fuel/fuel_pump_1_on", "once sim/fuel/fuel_pump_2_on"},
     {"once sim/fuel/fuel_pump_1_off", "once sim/fuel/fuel_pump_2_off"}},
    {"de-ice", &sim::Switches::deIce,
     {"once sim/ice/wing_heat0_on", "once sim/ice/wing_heat1_on"},
     {"once sim/ice/wing_heat0_off", "once sim/ice/wing_heat1_off"}},
    {"pitot heat", &sim::Switches::pitotHeat,
     {"once sim/ice/pitot_heat0_on", "sim/cockpit2/ice/ice_pitot_heat_on_pilot[0]=1"},
     {"once sim/ice/pitot_heat0_off", "sim/cockpit2/ice/ice_pitot_heat_on_pilot[0]=0"}},
    {"cowl flaps", &sim::Switches::cowlFlapsClosed,
     {"once sim/flight_controls/cowl_flaps_closed"}, {"once sim/flight_controls/cowl_flaps_open"}},
    {"panel lights", &sim::Switches::panelLights,
     {"sim/cockpit/electrical/cockpit_lights[0]=1"}, {"sim/cockpit/electrical/cockpit_lights[0]=0"}},
    {"beacon", &sim::Switches::beacon, {"once sim/lights/beacon_lights_on"}, {"once sim/lights/beacon_lights_off"}},
    {"nav", &sim::Switches::nav, {"once sim/lights/nav_lights_on"}, {"once sim/lights/nav_lights_off"}},
    {"strobe", &sim::Switches::strobe, {"once sim/lights/strobe_lights_on"}, {"once sim/lights/strobe_lights_off"}},
    {"taxi", &sim::Switches::taxi, {"once sim/lights/taxi_lights_on"}, {"once sim/lights/taxi_lights_off"}},
    {"landing", &sim::Switches::landing,
     {"once sim/lights/landing_lights_on"}, {"once sim/lights/landing_lights_off"}},
};

struct MagnetoRow {
    sim::Magneto position;
    Lines lines;  // what this position sends that some other does not
};

// One engine. Engine arrays are written whole; the lines show element 0.
const MagnetoRow kMagnetoRows[] = {
    {sim::Magneto::Off,
     {"once sim/igniters/igniter_arm_off_1", "once sim/starters/shut_down_1", "once sim/starters/shut_down",
      "once sim/electrical/inverters_off", "sim/flightmodel/engine/ENGN_mixt[0]=0",
      "sim/cockpit2/engine/actuators/igniter_on[0]=0", "sim/cockpit2/engine/actuators/auto_ignite_on[0]=0",
      "sim/cockpit2/engine/actuators/ignition_on[0]=0"}},
    {sim::Magneto::Right, {"once sim/igniters/igniter_arm_on_1", "once sim/magnetos/magnetos_right_1"}},
    {sim::Magneto::Left, {"once sim/igniters/igniter_arm_on_1", "once sim/magnetos/magnetos_left_1"}},
    {sim::Magneto::Both,
     {"once sim/electrical/inverters_on", "end sim/engines/engage_starters", "once sim/igniters/igniter_contin_off_1",
      "once sim/igniters/igniter_arm_on_1", "once sim/magnetos/magnetos_both_1"}},
    {sim::Magneto::Start,
     {"begin sim/engines/engage_starters", "sim/cockpit2/engine/actuators/fadec_on[0]=1",
      "sim/flightmodel/engine/ENGN_mixt[0]=1", "sim/cockpit2/engine/actuators/igniter_on[0]=1",
      "sim/cockpit2/engine/actuators/auto_ignite_on[0]=1", "sim/cockpit2/engine/actuators/ignition_on[0]=1"}},
};

class SwitchpanelBindingsTest : public testing::TestWithParam<SimulatorVersion> {
protected:
    void SetUp() override {
        hostsim::reset();
        hostsim::setSimulatorVersion(GetParam());
        // A single retractable-gear engine with one battery and one generator.
        hostsim::setInt("sim/aircraft/engine/acf_num_engines", 1);
        for (int leg = 0; leg < 3; ++leg) hostsim::setIntAt("sim/aircraft/parts/acf_gear_type", leg, 2);
        hostsim::setInt("sim/aircraft/electrical/num_batteries", 1);
        hostsim::setInt("sim/aircraft/electrical/num_generators", 1);
        device_ = new RecordingDevice;
        panel_ = new Switchpanel(device_);
    }
    void TearDown() override {
        EXPECT_EQ(hostsim::nullCommandFaults(), 0);
        panel_->teardown();
        delete panel_;
        hostsim::reset();
    }
    // The commands, then the writes, one report of these switches sends.
    Lines send(const sim::Switches &switches) {
        hostsim::clearCommandJournal();
        hostsim::clearDatarefWrites();
        const auto report = sim::inputReport(switches);
        panel_->handleEvent(report.data(), static_cast<std::uint32_t>(report.size()), 0, 0);
        Lines lines = bindings::journalLines();
        for (const std::string &write : bindings::writeLines()) lines.push_back(write);
        return lines;
    }

    RecordingDevice *device_ = nullptr;  // owned by the panel
    Switchpanel *panel_ = nullptr;
};

TEST_P(SwitchpanelBindingsTest, EachSwitchSendsItsOwnCommandsAndWrites) {
    for (const SwitchRow &row : kSwitchRows) {
        sim::Switches on, off;
        on.*row.member = true;
        const Lines sentOff = send(off);
        const Lines sentOn = send(on);
        Lines expectedOn = row.on, expectedOff = row.off;
        if (row.member == &sim::Switches::deIce) {
            for (const std::string &w : deIceWrites(GetParam(), 1)) expectedOn.push_back(w);
            for (const std::string &w : deIceWrites(GetParam(), 0)) expectedOff.push_back(w);
        }
        EXPECT_EQ(minus(sentOn, sentOff), expectedOn) << row.name << " on";
        EXPECT_EQ(minus(sentOff, sentOn), expectedOff) << row.name << " off";
    }
}

TEST_P(SwitchpanelBindingsTest, EachMagnetoPositionAndTheGearLever) {
    std::vector<Lines> sent;
    for (const MagnetoRow &row : kMagnetoRows) {
        sim::Switches s;
        s.magneto = row.position;
        sent.push_back(send(s));
    }
    // What every position sends alike is the other switches' part.
    Lines common = sent[0];
    for (const Lines &lines : sent) common = minus(common, minus(common, lines));
    for (std::size_t i = 0; i < sent.size(); ++i) {
        EXPECT_EQ(minus(sent[i], common), kMagnetoRows[i].lines) << "magneto row " << i;
    }

    sim::Switches up, down;
    down.gear = sim::GearLever::Down;
    EXPECT_EQ(minus(send(up), send(down)), Lines{"once sim/flight_controls/landing_gear_up"});
    EXPECT_EQ(minus(send(down), send(up)), Lines{"once sim/flight_controls/landing_gear_down"});
}

TEST_P(SwitchpanelBindingsTest, GearLampsFollowEachLegAndThePower) {
    struct LampRow {
        float deploy[3];
        int battery;
        int apuGenerator;
        const char *lamps;
    };
    const LampRow rows[] = {
        {{1.0f, 0.5f, 0.0f}, 1, 0, "1 down, 2 in transit, 3 off"},
        {{0.0f, 1.0f, 0.25f}, 1, 0, "1 off, 2 down, 3 in transit"},
        {{1.0f, 1.0f, 1.0f}, 0, 1, "1 down, 2 down, 3 down"},
        {{1.0f, 1.0f, 1.0f}, 0, 0, "1 off, 2 off, 3 off"},
    };
    for (const LampRow &row : rows) {
        for (int leg = 0; leg < 3; ++leg) hostsim::setFloatAt("sim/aircraft/parts/acf_gear_deploy", leg, row.deploy[leg]);
        hostsim::setIntAt("sim/cockpit/electrical/battery_array_on", 0, row.battery);
        hostsim::setInt("sim/cockpit/electrical/generator_apu_on", row.apuGenerator);
        panel_->update();
        panel_->sendReport();
        EXPECT_EQ(sim::gearLampsText(device_->latest()), row.lamps) << row.lamps;
    }
}

INSTANTIATE_TEST_SUITE_P(Versions, SwitchpanelBindingsTest, testing::ValuesIn(bindings::kVersions),
                         bindings::versionTestName);

}  // namespace
}  // namespace drovanel
