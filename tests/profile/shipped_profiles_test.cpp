// Every profile shipped to users loads clean, and every name it uses is one
// the aircraft publishes or the simulator itself lists, with a type that
// fits its use.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <set>

#include "hostsim/hostsim.h"
#include "profile/profile_binding.h"
#include "profile/profile_loader.h"

namespace drovanel {
namespace {

namespace fs = std::filesystem;

TEST(ShippedProfiles, EveryNameIsTheAircraftsOrTheSimulators) {
    const hostsim::AircraftNameList *zibo = nullptr;
    for (const hostsim::AircraftNameList &list : hostsim::aircraftNames()) {
        if (list.folder == "zibo-737") zibo = &list;
    }
    ASSERT_NE(zibo, nullptr);
    std::set<std::string> datarefs, commands(zibo->commands.begin(), zibo->commands.end());
    for (const auto &d : zibo->datarefs) {
        if (d.second != "string") datarefs.insert(d.first);
    }
    const std::set<std::string> writable(zibo->writable.begin(), zibo->writable.end());

    int files = 0;
    for (const auto &entry : fs::directory_iterator(fs::path(DROVANEL_SOURCE_DIR) / "packaging" / "profiles")) {
        ++files;
        profile::Profile p;
        std::vector<profile::Problem> problems;
        ASSERT_TRUE(profile::readProfile(entry.path().string(), &p, &problems))
            << entry.path() << ": " << profile::describe(problems.front());
        EXPECT_FALSE(p.match.acf.empty());
        int names = 0;
        profile::forEachName(
            p,
            [&](profile::DatarefName &d) {
                if (d.name.empty()) return;
                ++names;
                const bool simulator = hostsim::simulatorListsDataref(hostsim::SimulatorVersion::XPlane12, d.name);
                EXPECT_TRUE(datarefs.count(d.name) != 0 || simulator) << d.name << " at line " << d.line;
            },
            [&](profile::CommandName &c) {
                if (c.name.empty()) return;
                ++names;
                const bool simulator = hostsim::simulatorListsCommand(hostsim::SimulatorVersion::XPlane12, c.name);
                EXPECT_TRUE(commands.count(c.name) != 0 || simulator) << c.name << " at line " << c.line;
            });
        EXPECT_GT(names, 40) << entry.path();
        // Written datarefs must take writes.
        for (const auto &positions : p.switches.switches) {
            for (const profile::Action &a : positions) {
                if (a.kind == profile::ActionKind::Write) {
                    EXPECT_EQ(writable.count(a.target.ref.name), 1u) << a.target.ref.name;
                }
            }
        }
        // The match name is one the simulator itself lacks.
        EXPECT_FALSE(hostsim::simulatorListsDataref(hostsim::SimulatorVersion::XPlane12, p.match.dataref.name));
        EXPECT_FALSE(hostsim::simulatorListsDataref(hostsim::SimulatorVersion::XPlane1140, p.match.dataref.name));
        int lenses = 0;
        for (const profile::LensBinding &l : p.bip.lenses) lenses += l.condition.bound ? 1 : 0;
        EXPECT_GE(lenses, 16);
    }
    EXPECT_GE(files, 1);
}

// The complete profile the users' README shows loads as it stands.
TEST(ShippedProfiles, TheReadmesExampleLoadsClean) {
    std::ifstream in(fs::path(DROVANEL_SOURCE_DIR) / "packaging" / "README-users.txt");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t begin = text.find("    <?xml");
    const std::size_t end = text.find("</DrovanelProfile>", begin);
    ASSERT_NE(begin, std::string::npos);
    ASSERT_NE(end, std::string::npos);
    std::string example;
    std::istringstream lines(text.substr(begin, end + 18 - begin));
    for (std::string line; std::getline(lines, line);) example += (line.size() >= 4 ? line.substr(4) : line) + "\n";
    const std::string path = testing::TempDir() + "readme_profile.xml";
    std::ofstream(path) << example;
    profile::Profile p;
    std::vector<profile::Problem> problems;
    EXPECT_TRUE(profile::readProfile(path, &p, &problems)) << profile::describe(problems.front());
    EXPECT_EQ(p.name, "My airliner");
    int bound = 0;
    profile::forEachName(p, [&](profile::DatarefName &d) { bound += d.name.empty() ? 0 : 1; },
                         [&](profile::CommandName &c) { bound += c.name.empty() ? 0 : 1; });
    EXPECT_GE(bound, 30);
    std::remove(path.c_str());
}

}  // namespace
}  // namespace drovanel
