#include "indicator_catalogue.h"

#include <memory>
#include <string>

#include "bip_assignements.h"
#include "hostsim/hostsim.h"
#include "tests/bip_test_support.h"

namespace drovanel {
namespace {

using test::BipFixture;

class CatalogueTest : public BipFixture {};

std::unique_ptr<BipAssignement> make(const char *name, LensColour colour = kLensRed) {
    return std::unique_ptr<BipAssignement>(createAssignement(name, colour));
}

TEST_F(CatalogueTest, FiftyOneNamesInTableOrder) {
    ASSERT_EQ(indicatorCount(), 51u);
    EXPECT_STREQ(indicatorName(0), "enginefire");
    EXPECT_STREQ(indicatorName(23), "GearDown");
    EXPECT_STREQ(indicatorName(49), "APMaster");
    EXPECT_STREQ(indicatorName(50), "AutoPilot");
    EXPECT_EQ(indicatorName(51), nullptr);
    // Every name makes a binding whose datarefs the host publishes.
    for (std::size_t i = 0; i < indicatorCount(); ++i) {
        auto binding = make(indicatorName(i));
        EXPECT_NE(binding, nullptr) << indicatorName(i);
    }
    EXPECT_EQ(hostsim::log(), "");
}

TEST_F(CatalogueTest, NamesMatchWholeIgnoringAsciiCaseOnly) {
    EXPECT_NE(make("ENGINEFIRE"), nullptr);
    EXPECT_NE(make("EngineFire"), nullptr);
    EXPECT_NE(make("geardown"), nullptr);
    EXPECT_EQ(make("enginefire "), nullptr);
    EXPECT_EQ(make(" enginefire"), nullptr);
    EXPECT_EQ(make("engine fire"), nullptr);
    EXPECT_EQ(make("engine"), nullptr);
    EXPECT_EQ(make("enginefire1"), nullptr);
    EXPECT_EQ(make(""), nullptr);
    EXPECT_EQ(make(nullptr), nullptr);
}

TEST_F(CatalogueTest, EntriesMakeTheirKindsWithTheirParameters) {
    auto left = make("leftenginefire");
    auto *engine = dynamic_cast<BipEngineAssignement *>(left.get());
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(engine->index, kLeftEngines);
    auto centre = make("centrefuellow", kLensAmber);
    auto *fuel = dynamic_cast<BipFuelAssignement *>(centre.get());
    ASSERT_NE(fuel, nullptr);
    EXPECT_EQ(fuel->tank, 1u);
    EXPECT_EQ(fuel->colour, kLensAmber);
    auto gearUp = make("GearUp");
    auto *gear = dynamic_cast<BipGearAssignement *>(gearUp.get());
    ASSERT_NE(gear, nullptr);
    EXPECT_FALSE(gear->down);
}

TEST_F(CatalogueTest, NavAndCom2ShareTheirSelectorValueAndDownIsTheTrim) {
    auto nav = make("NAV");
    auto com2 = make("COM2");
    auto com1 = make("COM1");
    auto down = make("Down");
    hostsim::setInt("sim/cockpit2/radios/actuators/nav_com_adf_mode", 3);
    hostsim::setInt("sim/cockpit/switches/gear_handle_status", 1);
    for (auto *b : {nav.get(), com2.get(), com1.get(), down.get()}) b->evaluate();
    EXPECT_EQ(nav->shown, kLensRed);
    EXPECT_EQ(com2->shown, kLensRed);
    EXPECT_EQ(com1->shown, kLensOff);
    EXPECT_EQ(down->shown, kLensOff);
}

}  // namespace
}  // namespace drovanel
