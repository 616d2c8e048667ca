// Loads the built win.xpl with LoadLibrary, as the simulator does, against
// the stand-in host built as XPLM(_64).dll and XPWidgets(_64).dll, and runs
// it through its life. No panel is attached (wine has none of ours), but
// wine lists HID devices of its own, which discovery may report on.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "hostsim/hostsim.h"

namespace {

#if defined(_WIN64)
constexpr bool kBuild32 = false;
#else
constexpr bool kBuild32 = true;
#endif

std::vector<std::uint8_t> readFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// The log without discovery's reports on devices that are not panels.
std::string withoutDeviceReports(const std::string &log) {
    const char *reports[] = {"Drovanel : no handle error=", "Drovanel : no hid attributes error=",
                             "Drovanel : end of interface list\n", "Drovanel : no input devices\n"};
    std::string rest;
    std::size_t at = 0;
    while (at < log.size()) {
        bool report = false;
        for (const char *prefix : reports) {
            if (log.compare(at, std::strlen(prefix), prefix) == 0) {
                std::size_t end = log.find('\n', at);
                at = end == std::string::npos ? log.size() : end + 1;
                report = true;
                break;
            }
        }
        if (!report) rest += log[at++];
    }
    return rest;
}

const hostsim::MenuItemState *item(const std::string &name) {
    static std::vector<hostsim::MenuState> menus;
    menus = hostsim::menus();
    for (const auto &menu : menus) {
        if (menu.name != "drovanel") continue;
        for (const auto &entry : menu.items) {
            if (entry.name == name) return &entry;
        }
    }
    return nullptr;
}

class WinPluginLoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        hostsim::reset();
        std::string error;
        ASSERT_TRUE(plugin.load(DROVANEL_WIN_PLUGIN, &error)) << error;
    }
    hostsim::Plugin plugin;
};

TEST_F(WinPluginLoadTest, RunsThroughItsLife) {
    std::string name, signature, description;
    ASSERT_EQ(plugin.start(&name, &signature, &description), 1);
    EXPECT_EQ(name, "Drovanel for Windows 1.4.0");
    EXPECT_EQ(signature, "tamlor.usb.win.Drovanel");
    EXPECT_EQ(description,
              "Driver for Saitek Multipanel, Switchpanel, Radiopanel and Backlit Information Panel on Windows "
              "XP,Vista,7");
    ASSERT_NE(item("Preferences..."), nullptr);
    EXPECT_TRUE(hostsim::log().empty());

    ASSERT_EQ(plugin.enable(), 1);
    EXPECT_EQ(withoutDeviceReports(hostsim::log()), "Drovanel : read prefs failed - empty file");
    EXPECT_TRUE(hostsim::flightLoopRegistered());
    for (const char *radio : {"1. Radiopanel DME in 2nd segment", "2. Radiopanel DME in 2nd segment"}) {
        ASSERT_NE(item(radio), nullptr);
        EXPECT_FALSE(item(radio)->enabled) << radio;
        EXPECT_EQ(item(radio)->check, 1) << radio;
    }

    hostsim::clearLog();
    hostsim::runFlightLoops(2);
    EXPECT_EQ(hostsim::log(), kBuild32 ? "" : "Drovane : callback ...callback done\nDrovane : callback ...callback done\n");
    EXPECT_FLOAT_EQ(hostsim::lastFlightLoopInterval(), 0.05f);

    hostsim::clearLog();
    plugin.sendMessage("X-Plane", 102);
    plugin.sendMessage("x737plugin", static_cast<int>(0x88888880u));
    plugin.sendMessage("X-Plane", static_cast<int>(0x88888880u));
    EXPECT_EQ(hostsim::log(), kBuild32 ? "Drovanel : X-Plane 102 setup\nDrovanel : x737plugin setup\n"
                                       : "Drovanel : X-Plane 102 setup\nDrovanel : init...done\n"
                                         "Drovanel : x737plugin setup\nDrovanel : init...done\n"
                                         "...done\n");

    // The menu, as a person picks its items.
    ASSERT_TRUE(hostsim::pickMenuItem("drovanel", "Ignore Switchpanel"));
    EXPECT_EQ(item("Ignore Switchpanel")->check, 2);
    EXPECT_EQ(readFile(hostsim::prefsFile("Drovanel.prf")), (std::vector<std::uint8_t>{1}));
    ASSERT_TRUE(hostsim::pickMenuItem("drovanel", "Ignore Switchpanel"));
    EXPECT_EQ(item("Ignore Switchpanel")->check, 1);
    EXPECT_EQ(readFile(hostsim::prefsFile("Drovanel.prf")), (std::vector<std::uint8_t>{0}));
    ASSERT_TRUE(hostsim::pickMenuItem("drovanel", "1. Radiopanel DME in 2nd segment"));
    EXPECT_EQ(item("1. Radiopanel DME in 2nd segment")->check, 1);
    ASSERT_TRUE(hostsim::pickMenuItem("drovanel", "Preferences..."));
    EXPECT_NE(hostsim::findWidget("Drovanel Preferences", 1), nullptr);

    hostsim::clearLog();
    plugin.disable();
    EXPECT_FALSE(hostsim::flightLoopRegistered());
    hostsim::runFlightLoops(1);
    plugin.stop();
    EXPECT_EQ(hostsim::log(), "");
    EXPECT_EQ(hostsim::findWidget("Drovanel Preferences", 1), nullptr);
    EXPECT_TRUE(hostsim::widgets().empty());

    EXPECT_EQ(hostsim::nullCommandFaults(), 0);
    EXPECT_TRUE(hostsim::offThreadCalls().empty());
    plugin.unload();
    EXPECT_FALSE(plugin.loaded());
}

// The simulator enables and disables a plug-in repeatedly; each enable
// discovers afresh and registers one callback.
TEST_F(WinPluginLoadTest, EnablesAgainAfterDisable) {
    ASSERT_EQ(plugin.start(nullptr, nullptr, nullptr), 1);
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(plugin.enable(), 1);
        EXPECT_EQ(hostsim::flightLoopCount(), 1);
        plugin.disable();
        EXPECT_EQ(hostsim::flightLoopCount(), 0);
    }
    plugin.stop();
    EXPECT_TRUE(hostsim::offThreadCalls().empty());
}

// The device watch lists wine's devices on its own thread while the flight
// loop runs; with no panel among them nothing is adopted or logged, and no
// call reaches the host from another thread.
TEST_F(WinPluginLoadTest, WatchesTheDevicesQuietly) {
    ASSERT_EQ(plugin.start(nullptr, nullptr, nullptr), 1);
    ASSERT_EQ(plugin.enable(), 1);
    hostsim::clearLog();
    std::string loops;
    for (int i = 0; i < 24; ++i) {  // 1.2 s: two listings or more
        hostsim::runFlightLoops(1);
        if (!kBuild32) loops += "Drovane : callback ...callback done\n";
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(hostsim::log(), loops);
    plugin.disable();
    plugin.stop();
    EXPECT_TRUE(hostsim::offThreadCalls().empty());
}

// A file that is no plug-in, or none at all, is refused with the reason.
TEST(WinPluginLoaderTest, RefusesFilesThatAreNoPlugin) {
    hostsim::Plugin plugin;
    std::string error;
    EXPECT_FALSE(plugin.load(DROVANEL_NOT_A_PLUGIN, &error));
    EXPECT_EQ(error, std::string(DROVANEL_NOT_A_PLUGIN) + " does not export XPluginStart");
    EXPECT_FALSE(plugin.load("Z:\\nonexistent\\win.xpl", &error));
    EXPECT_EQ(error.rfind("LoadLibrary of Z:\\nonexistent\\win.xpl failed: error ", 0), 0u) << error;
    EXPECT_FALSE(plugin.loaded());
    EXPECT_EQ(plugin.enable(), 0);
}

}  // namespace
