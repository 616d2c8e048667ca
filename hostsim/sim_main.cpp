// drovanel-sim: runs the plug-in in the stand-in host. For now one fixed
// session: one panel of each kind (two Radio Panels), start, enable, 20
// flight loops, an aircraft-loaded message, disable, stop; then the host's
// log and menus.
#include <cstdio>
#include <cstring>
#include <string>

#include "hostsim/hostsim.h"

namespace {

constexpr int kFlightLoops = 20;
constexpr int kPlaneLoaded = 102;

int usage() {
    std::fprintf(stderr, "usage: drovanel-sim [--plugin PATH]\n");
    return 2;
}

}  // namespace

int main(int argc, char **argv) {
    std::string pluginFile = DROVANEL_DEFAULT_PLUGIN;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--plugin") == 0 && i + 1 < argc) {
            pluginFile = argv[++i];
        } else {
            return usage();
        }
    }

    hostsim::reset();
    hostsim::attach(hostsim::PanelKind::Multi);
    hostsim::attach(hostsim::PanelKind::Switch);
    hostsim::attach(hostsim::PanelKind::Radio);
    hostsim::attach(hostsim::PanelKind::Radio);
    hostsim::attach(hostsim::PanelKind::Bip);

    hostsim::Plugin plugin;
    std::string error;
    if (!plugin.load(pluginFile, &error)) {
        std::fprintf(stderr, "drovanel-sim: cannot load the plug-in: %s\n", error.c_str());
        return 1;
    }
    std::string name, signature, description;
    plugin.start(&name, &signature, &description);
    std::printf("plug-in: %s (%s)\n%s\n", name.c_str(), signature.c_str(), description.c_str());
    plugin.enable();
    hostsim::runFlightLoops(kFlightLoops);
    plugin.sendMessage("X-Plane", kPlaneLoaded);
    plugin.disable();
    plugin.stop();

    std::printf("--- log ---\n%s", hostsim::log().c_str());
    if (!hostsim::log().empty() && hostsim::log().back() != '\n') {
        std::printf("\n");
    }
    std::printf("--- menus ---\n%s", hostsim::menuText().c_str());
    std::vector<std::string> offThread = hostsim::offThreadCalls();
    if (!offThread.empty()) {
        std::printf("--- SDK calls off the simulator thread: %zu ---\n", offThread.size());
    }
    plugin.unload();
    return 0;
}
