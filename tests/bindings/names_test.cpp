// Every simulator name the plug-in binds is one the simulator publishes:
// each panel binds all it can under each modelled version, and every `sim/`
// name it asked for must be in that version's own lists, unless it is a
// first choice whose fallback the panel then asked for and the lists hold.
// A misspelt name in any binding table fails here.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "bindings_support.h"
#include "bip/backlit_information_panel.h"
#include "bip/indicator_catalogue.h"
#include "multipanel/multipanel.h"
#include "radiopanel/radiopanel.h"
#include "switchpanel/switchpanel.h"

namespace drovanel {
namespace {

using bindings::RecordingDevice;
using hostsim::SimulatorVersion;

// The first choices that have fallbacks, with their fallbacks.
std::multimap<std::string, std::string> fallbacks() {
    std::multimap<std::string, std::string> pairs;
    for (const switchpanel::CommandFallback &entry : switchpanel::kCommandFallbacks) {
        pairs.emplace(switchpanel::kCommandPaths[entry.command], entry.path);
    }
    for (const char *path : switchpanel::kDeIceSwitchPaths) {
        pairs.emplace(switchpanel::kDatarefPaths[switchpanel::kIceAllOn], path);
    }
    return pairs;
}

// Binds everything every panel kind can bind, as the flight loop does.
void bindAllPanels() {
    // Eight engines, so the Switch Panel resolves every per-engine command.
    hostsim::setInt("sim/aircraft/engine/acf_num_engines", 8);
    Multipanel::setStartupWait(0);
    Multipanel multi(new RecordingDevice);
    Radiopanel radio(new RecordingDevice, 0);
    Switchpanel switches(new RecordingDevice);
    BacklitInformationPanel bip(new RecordingDevice);
    multi.update();
    radio.update();
    switches.update();
    bip.update();
    for (std::size_t i = 0; i < indicatorCount(); ++i) {
        delete createAssignement(indicatorName(i), kLensRed);
    }
    multi.teardown();
    radio.teardown();
    switches.teardown();
    bip.teardown();
    Multipanel::setStartupWait(500);
}

class BoundNamesTest : public testing::TestWithParam<SimulatorVersion> {
protected:
    void SetUp() override {
        hostsim::reset();
        hostsim::setSimulatorVersion(GetParam());
    }
    void TearDown() override { hostsim::reset(); }
};

TEST_P(BoundNamesTest, EverySimulatorNameBoundIsInTheSimulatorsLists) {
    bindAllPanels();
    const SimulatorVersion version = GetParam();
    const auto listed = [version](const hostsim::NameAsked &name) {
        return name.command ? hostsim::simulatorListsCommand(version, name.name)
                            : hostsim::simulatorListsDataref(version, name.name);
    };
    const std::vector<hostsim::NameAsked> asked = hostsim::namesAsked();
    const std::set<hostsim::NameAsked> askedSet(asked.begin(), asked.end());
    const std::multimap<std::string, std::string> pairs = fallbacks();

    int simulatorNames = 0;
    for (const hostsim::NameAsked &name : asked) {
        if (name.name.compare(0, 4, "sim/") != 0) continue;
        ++simulatorNames;
        if (listed(name)) continue;
        const auto range = pairs.equal_range(name.name);
        EXPECT_NE(range.first, range.second)
            << (name.command ? "command " : "dataref ") << name.name << " is not in X-Plane "
            << hostsim::simulatorVersionName(version) << "'s lists and has no fallback";
        for (auto it = range.first; it != range.second; ++it) {
            const hostsim::NameAsked fallback{name.command, it->second};
            EXPECT_TRUE(listed(fallback)) << "fallback " << it->second << " of " << name.name;
            EXPECT_EQ(askedSet.count(fallback), 1u) << "fallback " << it->second << " was not bound";
        }
    }
    // Every table was walked: the Switch Panel's names, eight engines' worth
    // of per-engine commands, the Radio Panel's and the Multi Panel's.
    for (const char *path : switchpanel::kCommandPaths) EXPECT_EQ(askedSet.count({true, path}), 1u) << path;
    EXPECT_EQ(askedSet.count({true, "sim/magnetos/magnetos_both_8"}), 1u);
    for (const char *path : radio::kDatarefPaths) EXPECT_EQ(askedSet.count({false, path}), 1u) << path;
    for (std::size_t i = 0; i < multipanel::kReferenceCount; ++i) {
        const std::string path = multipanel::referencePath(i);
        EXPECT_TRUE(askedSet.count({false, path}) + askedSet.count({true, path}) == 1u) << path;
    }
    EXPECT_GE(simulatorNames, 190);
}

INSTANTIATE_TEST_SUITE_P(Versions, BoundNamesTest, testing::ValuesIn(bindings::kVersions),
                         bindings::versionTestName);

}  // namespace
}  // namespace drovanel
