#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>

#include "hostsim/hostsim.h"
#include "tests/test_files.h"
#include "plugin/plugin_core.h"

namespace drovanel {
namespace {

using drovanel::testing_files::readFile;
using drovanel::testing_files::writeFile;

const hostsim::MenuState *findMenu(const std::vector<hostsim::MenuState> &menus, const std::string &name) {
    for (const auto &menu : menus) {
        if (menu.name == name) return &menu;
    }
    return nullptr;
}

class PluginCoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        hostsim::reset();
        char name[256], sig[256], desc[256];
        ASSERT_EQ(pluginStart(kWindowsIdentity, name, sig, desc), 1);
        identity = {name, sig, desc};
    }
    void TearDown() override {
        pluginDisable();
        pluginStop();
    }
    void message(const std::string &sender, int number) {
        hostsim::deliverMessage(pluginReceiveMessage, sender, number);
    }
    hostsim::MenuState submenu() {
        auto menus = hostsim::menus();
        const hostsim::MenuState *menu = findMenu(menus, "drovanel");
        return menu != nullptr ? *menu : hostsim::MenuState{};
    }
    std::vector<std::string> identity;
};

TEST_F(PluginCoreTest, StartWritesIdentityAndBuildsTheSubmenuOnly) {
    EXPECT_EQ(identity[0], "Drovanel for Windows 1.4.0");
    EXPECT_EQ(identity[1], "tamlor.usb.win.Drovanel");
    EXPECT_EQ(identity[2],
              "Driver for Saitek Multipanel, Switchpanel, Radiopanel and Backlit Information Panel on Windows "
              "XP,Vista,7");
    auto menus = hostsim::menus();
    const hostsim::MenuState *plugins = findMenu(menus, "");
    ASSERT_NE(plugins, nullptr);
    ASSERT_EQ(plugins->items.size(), 1u);
    EXPECT_EQ(plugins->items[0].name, "Drovanel");
    hostsim::MenuState menu = submenu();
    ASSERT_EQ(menu.items.size(), 4u);
    const char *names[] = {"Ignore Switchpanel", "1. Radiopanel DME in 2nd segment",
                           "2. Radiopanel DME in 2nd segment", "Preferences..."};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(menu.items[i].name, names[i]);
        EXPECT_EQ(reinterpret_cast<std::intptr_t>(menu.items[i].itemRef), '0' + i);
    }
    EXPECT_FALSE(hostsim::flightLoopRegistered());
    EXPECT_EQ(hostsim::log(), "");
    EXPECT_TRUE(readFile(hostsim::prefsFile("Drovanel.prf")).empty()) << "no file touched at start";
}

TEST_F(PluginCoreTest, EnableWithoutPanels) {
    ASSERT_EQ(pluginEnable(), 1);
    EXPECT_EQ(hostsim::log(), "Drovanel : read prefs failed - empty fileDrovanel : no input devices\n");
    EXPECT_TRUE(hostsim::flightLoopRegistered());
    hostsim::MenuState menu = submenu();
    EXPECT_EQ(menu.items[0].check, 1);
    EXPECT_FALSE(menu.items[1].enabled);
    EXPECT_FALSE(menu.items[2].enabled);
    EXPECT_EQ(menu.items[1].check, 1);
    EXPECT_EQ(menu.items[2].check, 1);

    hostsim::clearLog();
    hostsim::runFlightLoops(2);
    EXPECT_EQ(hostsim::log(), "Drovane : callback ...callback done\nDrovane : callback ...callback done\n");
    EXPECT_FLOAT_EQ(hostsim::lastFlightLoopInterval(), 0.05f);

    pluginDisable();
    EXPECT_FALSE(hostsim::flightLoopRegistered());
}

TEST_F(PluginCoreTest, MessagesFromTheRightSenderOnly) {
    pluginEnable();
    hostsim::clearLog();
    message("X-Plane", 102);
    EXPECT_EQ(hostsim::log(), "Drovanel : X-Plane 102 setup\nDrovanel : init...done\n");
    hostsim::clearLog();
    message("x737plugin", static_cast<int>(0x88888880u));
    EXPECT_EQ(hostsim::log(), "Drovanel : x737plugin setup\nDrovanel : init...done\n");
    hostsim::clearLog();
    message("Other", 102);
    message("X-Plane", static_cast<int>(0x88888880u));
    message("x737plugin", 102);
    EXPECT_EQ(hostsim::log(), "...done\n...done\n...done\n");
}

TEST_F(PluginCoreTest, MenuHandlerItems) {
    pluginEnable();
    hostsim::clearLog();
    menuHandler(nullptr, nullptr);
    EXPECT_EQ(hostsim::log(), "Drovanel : menu callback - no item ref\n");

    hostsim::clearLog();
    ASSERT_TRUE(hostsim::pickMenuItem("drovanel", "1. Radiopanel DME in 2nd segment"));
    EXPECT_EQ(submenu().items[1].check, 1) << "no first Radio Panel: nothing changes";
    EXPECT_EQ(hostsim::log(), "");

    ASSERT_TRUE(hostsim::pickMenuItem("drovanel", "Ignore Switchpanel"));
    EXPECT_EQ(submenu().items[0].check, 2);
    EXPECT_TRUE(ignoreSwitchPanelSet());
    EXPECT_EQ(readFile(hostsim::prefsFile("Drovanel.prf")), (std::vector<std::uint8_t>{1}));
    ASSERT_TRUE(hostsim::pickMenuItem("drovanel", "Ignore Switchpanel"));
    EXPECT_FALSE(ignoreSwitchPanelSet());
    EXPECT_EQ(readFile(hostsim::prefsFile("Drovanel.prf")), (std::vector<std::uint8_t>{0}));
    EXPECT_EQ(submenu().items[0].check, 1);
    // Only the low eight bits of the reference count.
    menuHandler(nullptr, reinterpret_cast<void *>(std::intptr_t{0x100 + '0'}));
    EXPECT_TRUE(ignoreSwitchPanelSet());
}

TEST_F(PluginCoreTest, PreferencesFileRules) {
    writeFile(hostsim::prefsFile("Drovanel.prf"), {2, 7, 8});
    pluginEnable();
    EXPECT_FALSE(ignoreSwitchPanelSet()) << "2 reads as off";
    EXPECT_EQ(hostsim::log().find("read prefs"), std::string::npos);
    pluginDisable();

    writeFile(hostsim::prefsFile("Drovanel.prf"), {1, 7, 8});
    pluginEnable();
    EXPECT_TRUE(ignoreSwitchPanelSet());
    EXPECT_EQ(submenu().items[0].check, 2);
    hostsim::pickMenuItem("drovanel", "Ignore Switchpanel");
    EXPECT_EQ(readFile(hostsim::prefsFile("Drovanel.prf")), (std::vector<std::uint8_t>{0, 7, 8}))
        << "bytes after the first are kept";
}

TEST_F(PluginCoreTest, PanelsAreDiscoveredDrivenAndTornDownWithTheirFiles) {
    int radio1 = hostsim::attach(hostsim::PanelKind::Radio);
    hostsim::attach(hostsim::PanelKind::Radio);
    pluginEnable();
    ASSERT_NE(panelInSlot(PanelSlot::Radiopanel1), nullptr);
    ASSERT_NE(panelInSlot(PanelSlot::Radiopanel2), nullptr);
    EXPECT_TRUE(hostsim::deviceOpen(radio1));
    hostsim::MenuState menu = submenu();
    EXPECT_TRUE(menu.items[1].enabled);
    EXPECT_TRUE(menu.items[2].enabled);

    hostsim::pickMenuItem("drovanel", "2. Radiopanel DME in 2nd segment");
    EXPECT_EQ(submenu().items[2].check, 2);
    EXPECT_EQ(panelInSlot(PanelSlot::Radiopanel2)->settingByte(66), 1);

    hostsim::clearLog();
    hostsim::runFlightLoops(1);
    EXPECT_NE(hostsim::log().find("Drovane : callback ...radiopanel 1 ...radiopanel 2 ...callback done\n"),
              std::string::npos);

    pluginDisable();
    EXPECT_EQ(panelInSlot(PanelSlot::Radiopanel1), nullptr);
    EXPECT_FALSE(hostsim::deviceOpen(radio1));
    std::vector<std::uint8_t> second = readFile(hostsim::prefsFile("Drovanel.Radiopanel2.prf"));
    ASSERT_EQ(second.size(), 1024u);
    EXPECT_EQ(second[66], 1);
    EXPECT_EQ(readFile(hostsim::prefsFile("Drovanel.Radiopanel1.prf")).size(), 1024u);

    pluginEnable();
    EXPECT_EQ(submenu().items[2].check, 2) << "the option came back from the file";
    EXPECT_EQ(submenu().items[1].check, 1);
    EXPECT_EQ(hostsim::nullCommandFaults(), 0);
    EXPECT_TRUE(hostsim::offThreadCalls().empty());
}

// Each DME menu item belongs to one Radio Panel: picking it flips that
// panel's option byte and its own tick mark, and nothing of the other's.
TEST_F(PluginCoreTest, EachDmeItemTogglesOnlyItsOwnRadioPanel) {
    hostsim::attach(hostsim::PanelKind::Radio);
    hostsim::attach(hostsim::PanelKind::Radio);
    pluginEnable();
    const struct {
        const char *item;
        std::uint8_t expect1, expect2;  // option bytes 64 (unit 1) and 66 (unit 2) afterwards
    } picks[] = {{"1. Radiopanel DME in 2nd segment", 1, 0},
                 {"2. Radiopanel DME in 2nd segment", 1, 1},
                 {"1. Radiopanel DME in 2nd segment", 0, 1},
                 {"2. Radiopanel DME in 2nd segment", 0, 0}};
    for (const auto &pick : picks) {
        ASSERT_TRUE(hostsim::pickMenuItem("drovanel", pick.item));
        const hostsim::MenuState menu = submenu();
        EXPECT_EQ(panelInSlot(PanelSlot::Radiopanel1)->settingByte(64), pick.expect1) << pick.item;
        EXPECT_EQ(panelInSlot(PanelSlot::Radiopanel2)->settingByte(66), pick.expect2) << pick.item;
        EXPECT_EQ(panelInSlot(PanelSlot::Radiopanel1)->settingByte(66), 0) << "unit 1 has no byte 66 option";
        EXPECT_EQ(panelInSlot(PanelSlot::Radiopanel2)->settingByte(64), 0) << "unit 2 has no byte 64 option";
        EXPECT_EQ(menu.items[1].check, pick.expect1 ? 2 : 1) << pick.item;
        EXPECT_EQ(menu.items[2].check, pick.expect2 ? 2 : 1) << pick.item;
    }
}

}  // namespace
}  // namespace drovanel
