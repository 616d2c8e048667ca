#include "bip_assignement.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "bip_assignements.h"
#include "hostsim/hostsim.h"
#include "tests/bip_test_support.h"

namespace drovanel {
namespace {

using test::BipFixture;
using test::fakeTick;

constexpr const char *kWarning = "sim/cockpit/warnings/annunciators/master_warning";
constexpr const char *kLampTest = "sim/cockpit/warnings/annunciator_test_pressed";
constexpr const char *kFires = "sim/cockpit2/annunciators/engine_fires";
constexpr const char *kNumEngines = "sim/aircraft/engine/acf_num_engines";

class LensBindingTest : public BipFixture {};

TEST_F(LensBindingTest, PlainBindingFollowsItsDatarefAndTheLampTest) {
    BipAssignement binding(kWarning, kLensRed);
    binding.evaluate();
    EXPECT_EQ(binding.shown, kLensOff);
    hostsim::setInt(kWarning, 1);
    binding.evaluate();
    EXPECT_EQ(binding.shown, kLensRed);
    hostsim::setInt(kWarning, 0);
    binding.evaluate();
    EXPECT_EQ(binding.shown, kLensOff);
    hostsim::setInt(kLampTest, 1);
    binding.evaluate();
    EXPECT_EQ(binding.shown, kLensRed);
}

TEST_F(LensBindingTest, UnpublishedKeyLogsOnceAndNeverLights) {
    BipAssignement binding("sim/not/a/dataref", kLensGreen);
    hostsim::setInt(kLampTest, 1);
    binding.evaluate();
    binding.evaluate();
    EXPECT_EQ(binding.shown, kLensOff);
    EXPECT_EQ(hostsim::log(), "Drovanel : ref is null for key sim/not/a/dataref\n");
}

TEST_F(LensBindingTest, PowerFromBatteryGeneratorOrRunningApuGenerator) {
    BipAssignement binding(kWarning, kLensRed);
    EXPECT_FALSE(binding.isPowered());

    // A battery beyond the aircraft's count does not count.
    hostsim::setInt("sim/aircraft/electrical/num_batteries", 1);
    hostsim::setIntAt("sim/cockpit/electrical/battery_array_on", 1, 1);
    EXPECT_FALSE(binding.isPowered());
    hostsim::setInt("sim/aircraft/electrical/num_batteries", 2);
    EXPECT_TRUE(binding.isPowered());
    test::powerOff();

    hostsim::setInt("sim/aircraft/electrical/num_generators", 12);
    hostsim::setIntAt("sim/cockpit/electrical/generator_on", 7, 1);
    EXPECT_TRUE(binding.isPowered());
    test::powerOff();

    hostsim::setInt("sim/cockpit/electrical/generator_apu_on", 1);
    EXPECT_FALSE(binding.isPowered());  // APU not running
    hostsim::setInt("sim/cockpit/engine/APU_running", 1);
    EXPECT_TRUE(binding.isPowered());
}

TEST_F(LensBindingTest, FlashStartsOnlyWhenTheLensTurnsOn) {
    BipAssignement binding(kWarning, kLensAmber);
    binding.flashOn = 500;
    binding.flashOff = 300;
    hostsim::setInt(kWarning, 1);
    fakeTick = 5000;
    binding.evaluate();
    EXPECT_TRUE(binding.flashRunning());
    EXPECT_EQ(binding.flashStart, 5000u);
    EXPECT_TRUE(binding.flashPhase);

    // Staying lit does not restart the flash.
    fakeTick = 5100;
    binding.evaluate();
    EXPECT_EQ(binding.flashStart, 5000u);

    EXPECT_TRUE(binding.stepFlash(5499));
    EXPECT_FALSE(binding.stepFlash(5500));
    EXPECT_FALSE(binding.stepFlash(5799));
    EXPECT_TRUE(binding.stepFlash(5800));

    // Darkening stops it; the next turn-on starts afresh.
    hostsim::setInt(kWarning, 0);
    binding.evaluate();
    EXPECT_FALSE(binding.flashRunning());
    EXPECT_EQ(binding.shown, kLensOff);
    fakeTick = 9000;
    hostsim::setInt(kWarning, 1);
    binding.evaluate();
    EXPECT_EQ(binding.flashStart, 9000u);
}

TEST_F(LensBindingTest, FlashWithoutBothLengthsStaysSteadyAndPhasesSurviveTickWrap) {
    BipAssignement steady(kWarning, kLensRed);
    steady.flashOn = 200;
    hostsim::setInt(kWarning, 1);
    steady.evaluate();
    EXPECT_FALSE(steady.flashRunning());
    EXPECT_TRUE(steady.stepFlash(123456));

    BipAssignement wrapping(kWarning, kLensRed);
    wrapping.flashOn = 200;
    wrapping.flashOff = 200;
    fakeTick = 0xFFFFFFA0u;
    wrapping.evaluate();
    // Start + 200 wraps to 0x68: the phase still lasts its 200 ms.
    EXPECT_TRUE(wrapping.stepFlash(0xFFFFFFF0u));
    EXPECT_TRUE(wrapping.stepFlash(0x00000067u));
    EXPECT_FALSE(wrapping.stepFlash(0x00000068u));
}

TEST_F(LensBindingTest, SingleEngineWatchesOnlyItsEngineAndLogsEachTime) {
    BipEngineAssignement engine4(kFires, kLensRed, 3);
    hostsim::setInt(kNumEngines, 2);
    hostsim::clearLog();
    engine4.evaluate();
    engine4.evaluate();
    EXPECT_EQ(hostsim::log(),
              "Drovanel : number of engines is smaller than index\n"
              "Drovanel : number of engines is smaller than index\n");
    EXPECT_EQ(engine4.shown, kLensOff);

    hostsim::setInt(kNumEngines, 0);
    hostsim::clearLog();
    engine4.evaluate();
    EXPECT_EQ(hostsim::log(), "Drovanel : number of engines is 0\n");

    hostsim::setInt(kNumEngines, 4);
    hostsim::setIntAt(kFires, 2, 1);
    engine4.evaluate();
    EXPECT_EQ(engine4.shown, kLensOff);
    hostsim::setIntAt(kFires, 3, 1);
    engine4.evaluate();
    EXPECT_EQ(engine4.shown, kLensRed);
}

// Which engines light the left and right halves, for an engine count.
struct Halves {
    int engines;
    std::vector<int> left;
    std::vector<int> right;
};

TEST_F(LensBindingTest, EngineHalvesSplitByIntegerHalfAndStopAtEight) {
    const Halves cases[] = {
        {1, {}, {0}},
        {3, {0}, {1, 2}},
        {10, {0, 1, 2, 3}, {4, 5, 6, 7}},
    };
    for (const Halves &c : cases) {
        SCOPED_TRACE(c.engines);
        hostsim::setInt(kNumEngines, c.engines);
        BipEngineAssignement left(kFires, kLensRed, kLeftEngines);
        BipEngineAssignement right(kFires, kLensGreen, kRightEngines);
        for (int engine = 0; engine < 8; ++engine) {
            for (int i = 0; i < 8; ++i) hostsim::setIntAt(kFires, i, i == engine ? 1 : 0);
            left.evaluate();
            right.evaluate();
            bool inLeft = std::find(c.left.begin(), c.left.end(), engine) != c.left.end();
            bool inRight = std::find(c.right.begin(), c.right.end(), engine) != c.right.end();
            EXPECT_EQ(left.shown, inLeft ? kLensRed : kLensOff) << "engine " << engine;
            EXPECT_EQ(right.shown, inRight ? kLensGreen : kLensOff) << "engine " << engine;
        }
    }
    // The empty left half of a single engine lights only under the lamp test.
    hostsim::setInt(kNumEngines, 1);
    BipEngineAssignement left(kFires, kLensRed, kLeftEngines);
    hostsim::setInt(kLampTest, 1);
    left.evaluate();
    EXPECT_EQ(left.shown, kLensRed);
}

class FuelTest : public BipFixture {
protected:
    // Total capacity 1000 lb, three tanks, the centre tank holding `ratio`.
    void SetUp() override {
        BipFixture::SetUp();
        hostsim::setInt("sim/aircraft/overflow/acf_num_tanks", 3);
        hostsim::setFloat("sim/aircraft/weight/acf_m_fuel_tot", 1000.0f);
    }
    void tank(float level, float ratio) {
        hostsim::setFloatAt("sim/cockpit2/fuel/fuel_quantity", 1, level);
        hostsim::setFloatAt("sim/aircraft/overflow/acf_tank_rat", 1, ratio);
    }
    // The level at exactly a tenth of the tank's share, in single precision.
    static float tenth(float ratio) { return 1000.0f * 0.45359237f * ratio * 0.1f; }
};

TEST_F(FuelTest, LowBelowATenthOfTheTanksShareOnly) {
    BipFuelAssignement centre(kLensAmber, 1);
    float level = tenth(0.5f);
    ASSERT_EQ(level / (1000.0f * 0.45359237f * 0.5f), 0.1f);
    tank(level, 0.5f);
    centre.evaluate();
    EXPECT_EQ(centre.shown, kLensOff) << "exactly a tenth is not low";

    tank(1000.0f * 0.45359237f * 0.5f * 0.0999f, 0.5f);
    centre.evaluate();
    EXPECT_EQ(centre.shown, kLensAmber);

    // A tank with no share of the capacity is never low, empty or not.
    tank(0.0f, 0.0f);
    centre.evaluate();
    EXPECT_EQ(centre.shown, kLensOff);
    tank(-1.0f, 0.0f);
    centre.evaluate();
    EXPECT_EQ(centre.shown, kLensOff);
}

TEST_F(FuelTest, TooFewTanksIsLoggedAtEveryEvaluation) {
    BipFuelAssignement right(kLensRed, 2);
    hostsim::setInt("sim/aircraft/overflow/acf_num_tanks", 2);
    hostsim::clearLog();
    right.evaluate();
    right.evaluate();
    EXPECT_EQ(hostsim::log(),
              "Drovanel : number of tanks [2] is below index [2]\n"
              "Drovanel : number of tanks [2] is below index [2]\n");
    EXPECT_EQ(right.shown, kLensOff);

    // A negative count is a huge unsigned one: it passes the check.
    hostsim::setInt("sim/aircraft/overflow/acf_num_tanks", -1);
    hostsim::setFloatAt("sim/aircraft/overflow/acf_tank_rat", 2, 0.5f);
    hostsim::clearLog();
    right.evaluate();
    EXPECT_EQ(hostsim::log(), "");
    EXPECT_EQ(right.shown, kLensRed);
}

TEST_F(LensBindingTest, ParkingBrakeLitForAnyRatioButZero) {
    BipBreakAssignement brake(kLensRed);
    const char *ratio = "sim/cockpit2/controls/parking_brake_ratio";
    hostsim::setFloat(ratio, 0.01f);
    brake.evaluate();
    EXPECT_EQ(brake.shown, kLensRed);
    hostsim::setFloat(ratio, 0.0f);
    brake.evaluate();
    EXPECT_EQ(brake.shown, kLensOff);
    hostsim::setFloat(ratio, std::numeric_limits<float>::quiet_NaN());
    brake.evaluate();
    EXPECT_EQ(brake.shown, kLensRed);
}

TEST_F(LensBindingTest, GearHandleAndDmeMadeWhileReceiving) {
    BipGearAssignement down(kLensGreen, true);
    BipGearAssignement up(kLensRed, false);
    hostsim::setInt("sim/cockpit/switches/gear_handle_status", 1);
    down.evaluate();
    up.evaluate();
    EXPECT_EQ(down.shown, kLensGreen);
    EXPECT_EQ(up.shown, kLensOff);

    // Made while a DME is received: lit at once, before any flash is set.
    hostsim::setInt("sim/cockpit2/radios/indicators/dme_has_dme", 1);
    BipDMEAssignement dme(kLensAmber);
    EXPECT_EQ(dme.shown, kLensAmber);
    EXPECT_FALSE(dme.flashRunning());
}

struct MarkerColours {
    LensColour configured, outer, middle, inner;
};

TEST_F(LensBindingTest, MarkerShowsEachBeaconInItsOwnColour) {
    const MarkerColours cases[] = {
        {kLensRed, kLensRed, kLensAmber, kLensGreen},
        {kLensGreen, kLensGreen, kLensAmber, kLensRed},
        {kLensAmber, kLensAmber, kLensRed, kLensGreen},
    };
    const char *outer = "sim/cockpit/misc/outer_marker_lit";
    const char *middle = "sim/cockpit/misc/middle_marker_lit";
    const char *inner = "sim/cockpit/misc/inner_marker_lit";
    for (const MarkerColours &c : cases) {
        SCOPED_TRACE(static_cast<int>(c.configured));
        hostsim::reset();
        BipMarkerAssignement marker(c.configured);
        marker.flashOn = 400;
        marker.flashOff = 400;
        hostsim::setInt(outer, 1);
        marker.evaluate();
        EXPECT_EQ(marker.shown, c.outer);
        EXPECT_TRUE(marker.flashRunning());
        hostsim::setInt(outer, 0);
        hostsim::setInt(middle, 1);
        marker.evaluate();
        EXPECT_EQ(marker.shown, c.middle);
        EXPECT_TRUE(marker.flashRunning()) << "the outer marker's flash runs on";
        hostsim::setInt(middle, 0);
        hostsim::setInt(inner, 1);
        marker.evaluate();
        EXPECT_EQ(marker.shown, c.inner);
        hostsim::setInt(inner, 0);
        marker.evaluate();
        EXPECT_EQ(marker.shown, kLensOff);
        EXPECT_FALSE(marker.flashRunning());
    }
}

}  // namespace
}  // namespace drovanel
