// Choosing the profile for the loaded aircraft: its own file first, then a
// shipped one whose match holds, names published late, names never
// published logged once, a refused file, and going back and forth.
#include "profile_selection.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "hostsim/hostsim.h"

namespace drovanel {
namespace profile {
namespace {

namespace fs = std::filesystem;

TEST(ProfilePaths, BesideTheAircraftAndInThePackage) {
    struct Row {
        const char *path;
        const char *separator;
        const char *beside;
        const char *shipped;
    };
    const Row rows[] = {
        {"/X/Aircraft/B738/b738.acf", "/", "/X/Aircraft/B738/Drovanel.Profile.xml", "/X/Aircraft/profiles"},
        {"C:\\X\\plugins\\Drovanel\\64\\win.xpl", "\\", "C:\\X\\plugins\\Drovanel\\64\\Drovanel.Profile.xml",
         "C:\\X\\plugins\\Drovanel\\profiles"},
        {"b738.acf", "/", "", ""},
        {"/64/lin.xpl", "/", "/64/Drovanel.Profile.xml", ""},
        {"/X/a.acf", "", "", ""},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(profileBesideAircraft(row.path, row.separator), row.beside) << row.path;
        EXPECT_EQ(shippedProfileFolder(row.path, row.separator), row.shipped) << row.path;
    }
    EXPECT_TRUE(sameAircraftFile("B738.ACF", "b738.acf"));
    EXPECT_FALSE(sameAircraftFile("b738.acf", "b737.acf"));
    EXPECT_FALSE(sameAircraftFile("", ""));
}

constexpr const char *kShipped = R"(<DrovanelProfile>
  <Match Acf="b738.acf" Dataref="laminar/B738/autopilot/mcp_hdg_dial"/>
  <Multipanel>
    <Button Name="AP" Command="laminar/B738/autopilot/cmd_a_press"/>
    <Lamp Name="AP" Dataref="laminar/B738/autopilot/cmd_a_statuss"/>
    <Button Name="HDG" Command="laminar/B738/autopilot/hdg_sel_presss"/>
  </Multipanel>
</DrovanelProfile>
)";

class ProfileSelection : public testing::Test {
protected:
    void SetUp() override {
        hostsim::reset();
        root_ = fs::path(testing::TempDir()) / ("profile_selection_" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "profiles");
        fs::create_directories(root_ / "B737-800X");
        fs::create_directories(root_ / "Trainer");
        write(root_ / "profiles" / "Zibo.xml", kShipped);
        write(root_ / "profiles" / "notes.txt", "not a profile");
        selector_.setShippedFolder((root_ / "profiles").generic_string());
    }
    void TearDown() override {
        selector_.clear();
        fs::remove_all(root_);
        hostsim::reset();
    }
    static void write(const fs::path &file, const std::string &text) { std::ofstream(file) << text; }
    std::string zibo() const { return (root_ / "B737-800X" / "b738.acf").generic_string(); }
    std::string trainer() const { return (root_ / "Trainer" / "Trainer.acf").generic_string(); }
    // Loads the aircraft and chooses as the plug-in does at the load.
    bool load(const std::string &acf, bool publishNow = true) {
        hostsim::setUserAircraft(acf, publishNow);
        hostsim::clearLog();
        return selector_.aircraftLoaded(now_);
    }
    bool pollAfter(std::uint32_t ms) {
        now_ += ms;
        return selector_.poll(now_);
    }
    std::string boundPath() { return selector_.current() != nullptr ? selector_.current()->path : "none"; }

    fs::path root_;
    ProfileSelector selector_;
    std::uint32_t now_ = 0xFFFFF000u;  // the tick wraps during the window
};

TEST_F(ProfileSelection, ShippedProfileMatchesFileNameAndPublishedName) {
    const std::string shipped = (root_ / "profiles" / "Zibo.xml").generic_string();
    EXPECT_TRUE(load(zibo()));
    EXPECT_EQ(boundPath(), shipped);
    EXPECT_EQ(hostsim::log(), "Drovanel : profile >" + shipped + "<\n");

    EXPECT_TRUE(load(trainer())) << "going to an aircraft without one unbinds it";
    EXPECT_EQ(boundPath(), "none");
    EXPECT_EQ(hostsim::log(), "");

    // Another aircraft saved as b738.acf does not publish the Zibo's names.
    fs::create_directories(root_ / "Other");
    hostsim::setUserAircraft(trainer());
    hostsim::clearLog();
    EXPECT_FALSE(selector_.aircraftLoaded(now_));
    hostsim::setUserAircraft((root_ / "Other" / "B738.acf").generic_string());
    hostsim::publishAircraftNames();
    EXPECT_EQ(hostsim::publishedAircraft(), "zibo-737");
}

TEST_F(ProfileSelection, NamesPublishedLateAreWaitedForAFewSeconds) {
    EXPECT_FALSE(load(zibo(), false));
    EXPECT_EQ(boundPath(), "none");
    EXPECT_FALSE(pollAfter(kLatePollMs - 1)) << "not looked at before the poll period";
    hostsim::publishAircraftNames();
    EXPECT_FALSE(pollAfter(0));
    EXPECT_TRUE(pollAfter(1));
    EXPECT_NE(boundPath(), "none");

    // Published after the window: never bound.
    EXPECT_TRUE(load(trainer()));
    EXPECT_FALSE(load(zibo(), false));
    for (std::uint32_t t = 0; t <= kLateWindowMs; t += kLatePollMs) EXPECT_FALSE(pollAfter(kLatePollMs));
    hostsim::publishAircraftNames();
    EXPECT_FALSE(pollAfter(kLatePollMs));
    EXPECT_EQ(boundPath(), "none");
}

TEST_F(ProfileSelection, UnknownNamesAreLoggedOnceWhenTheWindowCloses) {
    load(zibo());
    for (std::uint32_t t = kLatePollMs; t < kLateWindowMs; t += kLatePollMs) pollAfter(kLatePollMs);
    EXPECT_EQ(hostsim::log().find("unknown"), std::string::npos) << "not before the window closes";
    for (int i = 0; i < 4; ++i) pollAfter(kLatePollMs);
    const std::string logged =
        "Drovanel : unknown command >laminar/B738/autopilot/hdg_sel_presss<\n"
        "Drovanel : unknown dataref >laminar/B738/autopilot/cmd_a_statuss<\n";
    EXPECT_EQ(hostsim::log().substr(hostsim::log().find("Drovanel : unknown")), logged);

    // The next load of the aircraft logs them again, once.
    load(zibo());
    for (std::uint32_t t = 0; t < 3 * kLateWindowMs; t += kLatePollMs) pollAfter(kLatePollMs);
    EXPECT_EQ(hostsim::log().substr(hostsim::log().find("Drovanel : unknown")), logged);
}

TEST_F(ProfileSelection, TheAircraftsOwnFileWinsAndAMistakeRefusesIt) {
    const fs::path own = root_ / "B737-800X" / kAircraftProfileName;
    write(own, "<DrovanelProfile>\n<Multipanel>\n<Knob Selector=\"HDG\"/>\n</Multipanel>\n</DrovanelProfile>\n");
    EXPECT_FALSE(load(zibo()));
    EXPECT_EQ(boundPath(), "none") << "a refused file of its own: no shipped one either";
    EXPECT_EQ(hostsim::log(), "Drovanel : profile >" + own.generic_string() +
                                  "< refused, line 3: <Knob> needs either Up and Down commands or a Dataref to step\n");

    write(own, "<DrovanelProfile><Multipanel><Knob Selector=\"HDG\" Up=\"a\" Down=\"b\"/></Multipanel></DrovanelProfile>");
    EXPECT_TRUE(load(zibo()));
    EXPECT_EQ(boundPath(), own.generic_string());

    // A shipped file with a mistake is logged once, whatever the loads.
    fs::remove(own);
    write(root_ / "profiles" / "Broken.xml", "<DrovanelProfile><Bip/><Radio/></DrovanelProfile>");
    load(trainer());
    const std::string refused = "Drovanel : profile >" + (root_ / "profiles" / "Broken.xml").generic_string() +
                                "< refused, line 1: <Radio> is not part of a profile\n";
    EXPECT_EQ(hostsim::log(), refused);
    load(zibo());
    EXPECT_EQ(hostsim::log().find("refused"), std::string::npos);
    EXPECT_EQ(boundPath(), (root_ / "profiles" / "Zibo.xml").generic_string());
}

}  // namespace
}  // namespace profile
}  // namespace drovanel
