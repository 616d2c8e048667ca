#include "hostsim/sim/aircraft.h"

#include <gtest/gtest.h>

#include "XPLMUtilities.h"
#include "hostsim/hostsim.h"

namespace hostsim {
namespace sim {
namespace {

void fire(const char *path) { XPLMCommandOnce(XPLMFindCommand(path)); }

class AircraftTest : public ::testing::Test {
protected:
    void SetUp() override {
        reset();
        aircraft.reset();
    }
    Aircraft aircraft;
};

TEST_F(AircraftTest, GearTravelsThroughTransitAndFlagsItUnsafe) {
    EXPECT_EQ(2, getIntAt("sim/aircraft/parts/acf_gear_type", 0));
    fire("sim/flight_controls/landing_gear_down");
    aircraft.step();
    EXPECT_EQ(1, getInt("sim/cockpit/switches/gear_handle_status"));
    EXPECT_FLOAT_EQ(Aircraft::kGearStep, getFloatAt("sim/aircraft/parts/acf_gear_deploy", 2));
    EXPECT_EQ(1, getInt("sim/cockpit/warnings/annunciators/gear_unsafe"));
    for (int i = 0; i < 40; ++i) aircraft.step();
    EXPECT_FLOAT_EQ(1.0f, getFloatAt("sim/aircraft/parts/acf_gear_deploy", 0));
    EXPECT_EQ(0, getInt("sim/cockpit/warnings/annunciators/gear_unsafe"));

    // Reversing in mid-travel goes back without overshooting.
    fire("sim/flight_controls/landing_gear_up");
    for (int i = 0; i < 3; ++i) aircraft.step();
    fire("sim/flight_controls/landing_gear_down");
    for (int i = 0; i < 10; ++i) aircraft.step();
    EXPECT_FLOAT_EQ(1.0f, getFloatAt("sim/aircraft/parts/acf_gear_deploy", 1));
}

TEST_F(AircraftTest, ModeCommandsToggleOnlyTheirFlag) {
    setInt("sim/cockpit/autopilot/autopilot_state", 0x40000);
    fire("sim/autopilot/heading");
    fire("sim/autopilot/autothrottle_on");
    aircraft.step();
    EXPECT_EQ(0x40000 | 0x2 | 0x1, getInt("sim/cockpit/autopilot/autopilot_state"));
    fire("sim/autopilot/heading");
    fire("sim/autopilot/autothrottle_off");
    fire("sim/systems/avionics_on");
    fire("sim/autopilot/altitude_up");
    aircraft.step();
    EXPECT_EQ(0x40000, getInt("sim/cockpit/autopilot/autopilot_state"));
    EXPECT_EQ(1, getInt("sim/cockpit/electrical/avionics_on"));
    EXPECT_FLOAT_EQ(100.0f, getFloat("sim/cockpit/autopilot/altitude"));
    // Each command is answered once, however often the aircraft steps.
    aircraft.step();
    EXPECT_FLOAT_EQ(100.0f, getFloat("sim/cockpit/autopilot/altitude"));
}

}  // namespace
}  // namespace sim
}  // namespace hostsim
