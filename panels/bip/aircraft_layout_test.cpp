#include "aircraft_layout.h"

#include <algorithm>
#include <filesystem>
#include <string>

#include "backlit_information_panel.h"
#include "hostsim/hostsim.h"
#include "tests/bip_test_support.h"

namespace drovanel {
namespace {

using test::lense;
using test::lensString;
using test::writeConfig;

constexpr const char *kWarning = "sim/cockpit/warnings/annunciators/master_warning";
constexpr const char *kDark = "------------------------";

TEST(LayoutBesideAircraftTest, FolderUpToTheHostsSeparator) {
    struct Row {
        const char *acf;
        const char *separator;
        const char *layout;
    };
    const Row rows[] = {
        {"/sim/Aircraft/Trainer/Trainer.acf", "/", "/sim/Aircraft/Trainer/Drovanel.BacklitInformationPanel.xml"},
        {"C:\\X-Plane\\Aircraft\\Jet\\jet.acf", "\\", "C:\\X-Plane\\Aircraft\\Jet\\Drovanel.BacklitInformationPanel.xml"},
        {"HD:Aircraft:Twin:twin.acf", ":", "HD:Aircraft:Twin:Drovanel.BacklitInformationPanel.xml"},
        {"/Trainer.acf", "/", "/Drovanel.BacklitInformationPanel.xml"},
        {"/sim/Aircraft/", "/", "/sim/Aircraft/Drovanel.BacklitInformationPanel.xml"},
        // No folder, no aircraft, no separator: no layout file to look for.
        {"Trainer.acf", "/", ""},
        {"", "/", ""},
        {"/sim/Trainer.acf", "", ""},
        {"/sim/Trainer.acf", nullptr, ""},
        {nullptr, "/", ""},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(layoutBesideAircraft(row.acf, row.separator), row.layout)
            << (row.acf ? row.acf : "null") << " " << (row.separator ? row.separator : "null");
    }
}

// A BIP driver on a recording device, its threads not started, and
// aircraft folders in the host's preferences folder.
class AircraftLayoutTest : public test::BipDriverFixture {
protected:
    void SetUp() override {
        test::BipDriverFixture::SetUp();
        test::powerOn();
        hostsim::setInt(kWarning, 1);
        configured = writeConfig(lense("0", "Red", "MasterWarning") + lense("1", "Red", "MasterWarning"));
    }
    // An aircraft folder under Aircraft/; with layout entries, a layout file
    // in it. Returns the .acf file's path.
    static std::string makeAircraft(const std::string &name, const std::string &entries = "") {
        std::string folder = hostsim::prefsFolder() + "/Aircraft/" + name;
        std::filesystem::create_directories(folder);
        if (!entries.empty()) writeConfig(entries, "Aircraft/" + name + "/" + kAircraftLayoutName);
        return folder + "/" + name + ".acf";
    }
    static std::string layoutOf(const std::string &acf) {
        return acf.substr(0, acf.rfind('/') + 1) + kAircraftLayoutName;
    }
    // The simulator loads an aircraft and announces it.
    void load(const std::string &acf) {
        hostsim::setUserAircraft(acf);
        hostsim::clearLog();
        panel->initialize();
    }
    // Creates the driver with the configured file chosen.
    void createConfigured() {
        create();
        hostsim::clearLog();
        panel->setConfigurationFile(configured.c_str());
    }

    std::string configured;
};

TEST_F(AircraftLayoutTest, AnAircraftsOwnLayoutReplacesTheConfiguredOneWhichStaysStored) {
    std::string twin = makeAircraft("Twin", lense("5", "Amber", "MasterWarning") + lense("6", "Green", "Nope"));
    hostsim::setUserAircraft(twin);
    createConfigured();
    EXPECT_EQ(hostsim::log(), "Drovanel : BIP layout of the aircraft >" + layoutOf(twin) +
                                  "<\n"
                                  "Drovanel : failed to create -> index=6, c=2, ind=Nope\n");
    EXPECT_EQ(cycle(), "-----A------------------");
    EXPECT_EQ(panel->configurationFile(), configured);

    // The stored path comes back with the next driver, which again takes
    // the aircraft's layout.
    destroy();
    hostsim::clearLog();
    create();
    EXPECT_EQ(panel->configurationFile(), configured);
    EXPECT_EQ(hostsim::log().find("Drovanel : BIP layout of the aircraft >" + layoutOf(twin) + "<\n"), 0u);
    EXPECT_EQ(cycle(), "-----A------------------");

    // Choosing a file in the preferences window stores it; the aircraft's
    // layout still wins while that aircraft is loaded.
    std::string other = writeConfig(lense("9", "Red", "MasterWarning"), "other.xml");
    panel->setConfigurationFile(other.c_str());
    EXPECT_EQ(panel->configurationFile(), other);
    EXPECT_EQ(cycle(), "-----A------------------");
}

TEST_F(AircraftLayoutTest, AnAircraftWithoutALayoutUsesTheConfiguredOneAsBefore) {
    std::string trainer = makeAircraft("Trainer");
    hostsim::setUserAircraft(trainer);
    createConfigured();
    EXPECT_EQ(hostsim::log(), "");
    EXPECT_EQ(cycle(), "RR----------------------");
    // Reloading it keeps the layout that binds lens 0, as without aircraft layouts.
    writeConfig(lense("2", "Red", "MasterWarning"));
    load(trainer);
    EXPECT_EQ(hostsim::log(), "");
    EXPECT_EQ(cycle(), "RR----------------------");
}

TEST_F(AircraftLayoutTest, SwitchingAircraftRebuildsTheBindingsEachTime) {
    std::string jet = makeAircraft("Jet", lense("0", "Green", "MasterWarning") + lense("23", "Red", "MasterWarning"));
    std::string twin = makeAircraft("Twin", lense("0", "Amber", "MasterWarning"));
    std::string trainer = makeAircraft("Trainer");
    createConfigured();
    EXPECT_EQ(cycle(), "RR----------------------");

    struct Step {
        const std::string &acf;
        const char *lenses;
        bool ownLayoutRead;
    };
    const Step steps[] = {
        {jet, "G----------------------R", true},   {trainer, "RR----------------------", false},
        {jet, "G----------------------R", true},   {twin, "A-----------------------", true},
        {jet, "G----------------------R", true},
        // The same aircraft again: its layout binds lens 0, so it is kept.
        {jet, "G----------------------R", false},  {trainer, "RR----------------------", false},
    };
    for (const Step &step : steps) {
        load(step.acf);
        EXPECT_EQ(cycle(), step.lenses) << step.acf;
        std::string read = step.ownLayoutRead ? "Drovanel : BIP layout of the aircraft >" + layoutOf(step.acf) + "<\n" : "";
        EXPECT_EQ(hostsim::log(), read) << step.acf;
    }

    // Back on the configured layout after an aircraft's, the configured file
    // is read anew even though it binds lens 0.
    load(jet);
    writeConfig(lense("0", "Green", "MasterWarning"));
    load(trainer);
    EXPECT_EQ(cycle(), "G-----------------------");
}

TEST_F(AircraftLayoutTest, AnAircraftPathOfTheLongestLengthTheHostGives) {
    // The .acf path fills the host's 512-byte buffer: 511 characters, in
    // folders short enough for any file system.
    std::string folder = hostsim::prefsFolder() + "/Aircraft";
    while (kAircraftPathSize - 1 - folder.size() > 110) folder += "/" + std::string(100, 'd');
    const std::string name = "/" + std::string(kAircraftPathSize - 1 - folder.size() - 5, 'n') + ".acf";
    std::string acf = folder + name;
    ASSERT_EQ(acf.size(), kAircraftPathSize - 1);
    hostsim::setUserAircraft(acf);

    // No folder there yet: the configured layout.
    createConfigured();
    EXPECT_EQ(cycle(), "RR----------------------");

    std::error_code error;
    std::filesystem::create_directories(folder, error);
    std::string layout = folder + "/" + kAircraftLayoutName;
    test::writeFile(layout.substr(hostsim::prefsFolder().size() + 1),
                    "<Bip><BipProgramming Brightness=\"100\">" + lense("4", "Red", "MasterWarning") +
                        "</BipProgramming></Bip>");
#if defined(_WIN32)
    // Windows' own path limit may refuse the folders; the part above ran.
    if (!std::filesystem::exists(layout, error)) GTEST_SKIP() << "cannot make " << layout;
#endif
    ASSERT_TRUE(std::filesystem::exists(layout)) << layout;
    load(acf);
    EXPECT_EQ(hostsim::log(), "Drovanel : BIP layout of the aircraft >" + layout + "<\n");
    EXPECT_EQ(cycle(), "----R-------------------");

    // A path longer than the buffer reaches the plug-in cut to 511
    // characters; it reads no further than the buffer.
    load(folder + "/Sub/" + std::string(600, 'x') + ".acf");
    EXPECT_EQ(cycle(), "RR----------------------");
}

TEST_F(AircraftLayoutTest, AnUnreadableAircraftLayoutFallsBackAndIsLoggedOnce) {
    std::string broken = makeAircraft("Broken");
    std::string brokenLayout = layoutOf(broken);
    test::writeFile("Aircraft/Broken/" + std::string(kAircraftLayoutName),
                    "<Bip>\n  <BipProgramming>\n    <Lense></Lens>\n");
    std::string folderAsFile = makeAircraft("Odd");
    std::filesystem::create_directories(layoutOf(folderAsFile));
    std::string trainer = makeAircraft("Trainer");
    createConfigured();

    load(broken);
    EXPECT_EQ(hostsim::log(), "Drovanel : BIP layout of the aircraft >" + brokenLayout +
                                  "< not used, it is not well-formed XML at line 3, column 12: "
                                  "Error reading end tag.\n");
    EXPECT_EQ(cycle(), "RR----------------------");
    // The same aircraft announced again (the x737's message): not again.
    load(broken);
    EXPECT_EQ(hostsim::log(), "");
    EXPECT_EQ(cycle(), "RR----------------------");

    load(folderAsFile);
    EXPECT_EQ(hostsim::log().find("Drovanel : BIP layout of the aircraft >" + layoutOf(folderAsFile) +
                                  "< not used, it cannot be "),
              0u)
        << hostsim::log();
    EXPECT_EQ(std::count(hostsim::log().begin(), hostsim::log().end(), '\n'), 1);
    EXPECT_EQ(cycle(), "RR----------------------");

    // After another aircraft, the fault is news again.
    load(trainer);
    load(broken);
    EXPECT_NE(hostsim::log().find("not well-formed"), std::string::npos);
}

}  // namespace
}  // namespace drovanel
