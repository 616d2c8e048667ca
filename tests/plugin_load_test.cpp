// Loads DrovanelVirtual.xpl the way the simulator loads a plug-in and runs
// it through its life against the virtual panels.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "hostsim/hostsim.h"
#include "tests/test_files.h"

namespace {

using drovanel::testing_files::readFile;

class PluginLoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        hostsim::reset();
        std::string error;
        ASSERT_TRUE(plugin.load(DROVANEL_VIRTUAL_PLUGIN, &error)) << error;
    }
    hostsim::Plugin plugin;
};

TEST_F(PluginLoadTest, LifeCycleWithoutPanels) {
    std::string name, signature, description;
    ASSERT_EQ(plugin.start(&name, &signature, &description), 1);
    EXPECT_EQ(name, "Drovanel for Windows 1.4.0");
    EXPECT_EQ(signature, "tamlor.usb.win.Drovanel");
    ASSERT_EQ(plugin.enable(), 1);
    hostsim::runFlightLoops(2);
    plugin.sendMessage("X-Plane", 102);
    plugin.disable();
    plugin.stop();
    EXPECT_EQ(hostsim::log(),
              "Drovanel : read prefs failed - empty fileDrovanel : no input devices\n"
              "Drovane : callback ...callback done\n"
              "Drovane : callback ...callback done\n"
              "Drovanel : X-Plane 102 setup\nDrovanel : init...done\n");
    EXPECT_NE(hostsim::menuText().find("Preferences..."), std::string::npos);
    EXPECT_EQ(hostsim::nullCommandFaults(), 0);
    EXPECT_TRUE(hostsim::offThreadCalls().empty());
}

TEST_F(PluginLoadTest, PanelsGetTheirDriversAndSettingsFiles) {
    hostsim::attach(hostsim::PanelKind::Multi);
    hostsim::attach(hostsim::PanelKind::Switch);
    hostsim::attach(hostsim::PanelKind::Radio);
    hostsim::attach(hostsim::PanelKind::Radio);
    hostsim::attach(hostsim::PanelKind::Bip);
    std::string name, signature, description;
    plugin.start(&name, &signature, &description);
    plugin.enable();
    for (int device = 0; device < 5; ++device) EXPECT_TRUE(hostsim::deviceOpen(device)) << device;
    hostsim::clearLog();
    hostsim::runFlightLoops(1);
    EXPECT_NE(hostsim::log().find("Drovane : callback ...multipanel ...switchpanel ...radiopanel 1 "
                                  "...radiopanel 2 ...bip 1 ...callback done\n"),
              std::string::npos);
    hostsim::clearLog();
    plugin.sendMessage("X-Plane", 102);
    EXPECT_NE(hostsim::log().find("...multipanel "), std::string::npos);
    EXPECT_NE(hostsim::log().find("...bip 1 ...done\n"), std::string::npos);
    plugin.disable();
    plugin.stop();
    for (const char *file : {"Multipanel", "Switchpanel", "Radiopanel1", "Radiopanel2", "BacklitInformationPanel"}) {
        EXPECT_EQ(readFile(hostsim::prefsFile(std::string("Drovanel.") + file + ".prf")).size(), 1024u) << file;
    }
    for (int device = 0; device < 5; ++device) EXPECT_FALSE(hostsim::deviceOpen(device)) << device;
    EXPECT_EQ(hostsim::nullCommandFaults(), 0);
    EXPECT_TRUE(hostsim::offThreadCalls().empty());
}

}  // namespace
