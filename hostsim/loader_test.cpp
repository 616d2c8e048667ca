// The loader opens a built plug-in file as the simulator does and drives its
// five entry points.
#include <gtest/gtest.h>

#include "hostsim/hostsim.h"

namespace {

TEST(LoaderTest, LoadsAPluginAndDrivesItsEntryPoints) {
    hostsim::reset();
    hostsim::Plugin plugin;
    std::string error;
    ASSERT_TRUE(plugin.load(HOSTSIM_FAKE_PLUGIN, &error)) << error;
    std::string name, signature, description;
    EXPECT_EQ(plugin.start(&name, &signature, &description), 1);
    EXPECT_EQ(name, "Fake");
    EXPECT_EQ(signature, "hostsim.fake");
    EXPECT_EQ(description, "A plug-in for the loader's tests");
    EXPECT_EQ(plugin.enable(), 1);
    plugin.sendMessage("X-Plane", 102);
    plugin.sendMessage("x737plugin", static_cast<int>(0x88888880u));
    plugin.disable();
    plugin.stop();
    EXPECT_EQ(hostsim::log(),
              "start\nenable\n"
              "message 102 from X-Plane (0)\n"
              "message -2004318080 from x737plugin (1)\n"
              "disable\nstop\n");
    for (hostsim::CallKind kind : {hostsim::CallKind::Start, hostsim::CallKind::Enable, hostsim::CallKind::Disable,
                                   hostsim::CallKind::Stop}) {
        EXPECT_EQ(hostsim::callTimes(kind).count, 1) << "each entry point timed once";
    }
    EXPECT_EQ(hostsim::callTimes(hostsim::CallKind::Message).count, 2);
    plugin.unload();
    EXPECT_FALSE(plugin.loaded());
}

TEST(LoaderTest, RefusesFilesThatCannotBeLoaded) {
    hostsim::Plugin plugin;
    std::string error;
    EXPECT_FALSE(plugin.load(HOSTSIM_FAKE_PLUGIN_NOSTOP, &error));
    EXPECT_FALSE(plugin.loaded());
    EXPECT_EQ(error, std::string(HOSTSIM_FAKE_PLUGIN_NOSTOP) + " does not export XPluginStop");
    EXPECT_FALSE(plugin.load("/nonexistent/plugin.xpl", &error));
    EXPECT_EQ(error.rfind("dlopen of /nonexistent/plugin.xpl failed: ", 0), 0u) << error;
    EXPECT_EQ(plugin.enable(), 0);  // nothing loaded: nothing called
}

}  // namespace
