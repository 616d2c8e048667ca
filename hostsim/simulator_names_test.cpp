// The modelled simulator: which `sim/` names each version publishes, with
// what type and writability, and what the plug-in looked up.
#include <gtest/gtest.h>

#include "XPLMDataAccess.h"
#include "XPLMUtilities.h"
#include "hostsim/hostsim.h"

namespace {

using hostsim::SimulatorVersion;

const hostsim::DatarefSpec kTable[] = {
    {"sim/typo/not_listed", hostsim::DataType::Int, 1, true},
    {"sim/cockpit/electrical/avionics_on", hostsim::DataType::Float, 1, true},  // wrong on purpose
};

class SimulatorModelTest : public testing::Test {
protected:
    void SetUp() override {
        hostsim::registerDatarefs(kTable, sizeof kTable / sizeof kTable[0]);
        hostsim::reset();
    }
    void TearDown() override { hostsim::reset(); }
};

struct Presence {
    bool command;
    const char *name;
    bool in1140;
    bool in12;
};

// Names from the two versions' own lists, and misspellings they lack.
const Presence kPresence[] = {
    {false, "sim/cockpit2/ice/ice_all_on", true, false},
    {false, "sim/cockpit2/ice/ice_surfce_heat_on", true, true},
    {false, "sim/cockpit2/radios/indicators/nav1_has_dme", true, true},
    {false, "sim/typo/not_listed", false, false},
    {true, "sim/electical/inverters_on", false, false},
    {true, "sim/electrical/inverters_on", true, true},
    {true, "sim/ice/pitot_heat_on", false, false},
    {true, "sim/ice/pitot_heat0_on", true, true},
    {true, "sim/starters/engage_start_run", false, false},
    {true, "sim/engines/engage_starters", true, true},
};

TEST_F(SimulatorModelTest, EachVersionPublishesItsOwnNamesOnly) {
    hostsim::registerDatarefs(kTable, 1);  // again, without a reset after it
    EXPECT_EQ(XPLMFindDataRef("sim/typo/not_listed"), nullptr);
    for (SimulatorVersion version : {SimulatorVersion::XPlane1140, SimulatorVersion::XPlane12}) {
        hostsim::setSimulatorVersion(version);
        for (const Presence &row : kPresence) {
            const bool expected = version == SimulatorVersion::XPlane12 ? row.in12 : row.in1140;
            const bool found = row.command ? XPLMFindCommand(row.name) != nullptr
                                           : XPLMFindDataRef(row.name) != nullptr;
            EXPECT_EQ(found, expected) << row.name << " in " << hostsim::simulatorVersionName(version);
            const bool listed = row.command ? hostsim::simulatorListsCommand(version, row.name)
                                            : hostsim::simulatorListsDataref(version, row.name);
            EXPECT_EQ(listed, expected) << row.name;
        }
    }
    // Names outside the simulator's own follow the registered tables.
    EXPECT_NE(XPLMFindCommand("x737/anything"), nullptr);
    EXPECT_EQ(XPLMFindDataRef("x737/systems/afds/plugin_status"), nullptr);
    EXPECT_TRUE(hostsim::isKnown("sim/typo/not_listed")) << "tests may still set it";
}

TEST_F(SimulatorModelTest, TypesSizesAndWritabilityFollowTheLists) {
    // The lists' type wins over a table's.
    XPLMDataRef avionics = XPLMFindDataRef("sim/cockpit/electrical/avionics_on");
    ASSERT_NE(avionics, nullptr);
    XPLMSetDatai(avionics, 1);
    EXPECT_EQ(XPLMGetDatai(avionics), 1);

    // 12 grew the engine arrays to 16 entries.
    XPLMDataRef igniters = XPLMFindDataRef("sim/cockpit2/engine/actuators/igniter_on");
    EXPECT_EQ(XPLMGetDatavi(igniters, nullptr, 0, 0), 16);
    hostsim::setSimulatorVersion(SimulatorVersion::XPlane1140);
    EXPECT_EQ(XPLMFindDataRef("sim/cockpit2/engine/actuators/igniter_on"), igniters) << "handles stay";
    EXPECT_EQ(XPLMGetDatavi(igniters, nullptr, 0, 0), 8);
    EXPECT_EQ(XPLMGetDatai(avionics), 1) << "same type and size: the value stays";

    // Read-only in the lists: the plug-in's write is ignored, a test's is not.
    hostsim::clearDatarefWrites();
    XPLMDataRef batteries = XPLMFindDataRef("sim/aircraft/electrical/num_batteries");
    XPLMSetDatai(batteries, 4);
    EXPECT_EQ(XPLMGetDatai(batteries), 0);
    EXPECT_TRUE(hostsim::datarefWrites().empty());
    hostsim::setInt("sim/aircraft/electrical/num_batteries", 2);
    EXPECT_EQ(XPLMGetDatai(batteries), 2);

    // Double datarefs are listed but not modelled.
    EXPECT_TRUE(hostsim::simulatorListsDataref(SimulatorVersion::XPlane12, "sim/flightmodel/position/latitude"));
    EXPECT_EQ(XPLMFindDataRef("sim/flightmodel/position/latitude"), nullptr);
}

TEST_F(SimulatorModelTest, ResetReturnsToTwelveAndForgetsTheNamesAsked) {
    hostsim::setSimulatorVersion(SimulatorVersion::XPlane1140);
    XPLMFindDataRef("sim/cockpit2/ice/ice_all_on");
    XPLMFindCommand("sim/electical/inverters_on");
    XPLMFindDataRef("sim/cockpit2/ice/ice_all_on");
    const std::vector<hostsim::NameAsked> asked = hostsim::namesAsked();
    ASSERT_EQ(asked.size(), 2u) << "each name once";
    EXPECT_FALSE(asked[0].command);
    EXPECT_EQ(asked[0].name, "sim/cockpit2/ice/ice_all_on");
    EXPECT_TRUE(asked[1].command);

    hostsim::reset();
    EXPECT_EQ(hostsim::simulatorVersion(), SimulatorVersion::XPlane12);
    EXPECT_EQ(XPLMFindDataRef("sim/cockpit2/ice/ice_all_on"), nullptr);
    hostsim::clearNamesAsked();
    EXPECT_TRUE(hostsim::namesAsked().empty());

    SimulatorVersion parsed;
    EXPECT_TRUE(hostsim::parseSimulatorVersion("11.40", &parsed));
    EXPECT_EQ(parsed, SimulatorVersion::XPlane1140);
    EXPECT_FALSE(hostsim::parseSimulatorVersion("10", &parsed));
}

}  // namespace
