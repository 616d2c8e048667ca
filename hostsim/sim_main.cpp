// drovanel-sim: the virtual cockpit. Loads the plug-in into the stand-in
// host exactly as the simulator loads it, attaches a Multi Panel, a Switch
// Panel, two Radio Panels and a BIP, and plays a scenario while it draws
// what every panel shows. A scenario's expect steps make it a test.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#if !defined(_WIN32)
#include <unistd.h>
#endif

#include "hostsim/hostsim.h"
#include "hostsim/sim/default_scenario.h"
#include "hostsim/sim/player.h"
#include "hostsim/sim/scenario.h"
#include "hostsim/sim/stdout_capture.h"

namespace {

constexpr int kUsageError = 2;

void usage(std::FILE *out) {
    std::fprintf(out,
                 "usage: drovanel-sim [options]\n"
                 "\n"
                 "Plays a scenario on virtual Saitek panels driven by the Drovanel plug-in.\n"
                 "\n"
                 "  --scenario FILE   play FILE instead of the built-in scenario\n"
                 "  --plugin PATH     the plug-in to load (default %s)\n"
                 "  --xplane VERSION  the simulator modelled: 12 (default) or 11.40; the\n"
                 "                    host publishes that version's own names only\n"
                 "  --plain           print each frame as plain text (always so when the\n"
                 "                    output is not a terminal)\n"
                 "  --check           only check the scenario, run nothing\n"
                 "  --log             print the simulator's log at the end\n"
                 "  --print-default   print the built-in scenario\n"
                 "  --help            this text\n"
                 "\n"
                 "Exit status: 0 every step ran and every expectation held; 1 a step failed;\n"
                 "2 a bad command line or scenario.\n\n%s",
                 DROVANEL_DEFAULT_PLUGIN, hostsim::sim::scenarioHelp());
}

bool readFile(const std::string &path, std::string *text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream content;
    content << in.rdbuf();
    *text = content.str();
    return true;
}

bool stdoutIsTerminal() {
#if defined(_WIN32)
    return false;
#else
    return isatty(STDOUT_FILENO) != 0;
#endif
}

}  // namespace

int main(int argc, char **argv) {
    std::string pluginFile = DROVANEL_DEFAULT_PLUGIN;
    std::string scenarioFile;
    bool plain = false, checkOnly = false, printLog = false;
    hostsim::SimulatorVersion simulator = hostsim::SimulatorVersion::XPlane12;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            usage(stdout);
            return 0;
        } else if (arg == "--print-default") {
            std::fputs(hostsim::sim::defaultScenario(), stdout);
            return 0;
        } else if (arg == "--plugin" && hasValue) {
            pluginFile = argv[++i];
        } else if (arg == "--xplane" && hasValue) {
            if (!hostsim::parseSimulatorVersion(argv[++i], &simulator)) {
                std::fprintf(stderr, "drovanel-sim: --xplane takes 12 or 11.40, not '%s'\n", argv[i]);
                return kUsageError;
            }
        } else if (arg == "--scenario" && hasValue) {
            scenarioFile = argv[++i];
        } else if (arg == "--plain") {
            plain = true;
        } else if (arg == "--check") {
            checkOnly = true;
        } else if (arg == "--log") {
            printLog = true;
        } else {
            std::fprintf(stderr, "drovanel-sim: %s '%s' (see --help)\n",
                         arg == "--plugin" || arg == "--scenario" || arg == "--xplane" ? "missing value after" : "unknown option",
                         arg.c_str());
            return kUsageError;
        }
    }

    std::string text = hostsim::sim::defaultScenario();
    std::string name = "default.scenario";
    if (!scenarioFile.empty()) {
        if (!readFile(scenarioFile, &text)) {
            std::fprintf(stderr, "drovanel-sim: cannot read %s: %s\n", scenarioFile.c_str(), std::strerror(errno));
            return kUsageError;
        }
        name = scenarioFile;
    }
    // The plug-in as installed in the package folder, so that it finds the
    // shipped profiles beside its 64/ folder.
    hostsim::setPluginFile(std::string(DROVANEL_PACKAGE_FOLDER) + "/64/DrovanelVirtual.xpl");
    const std::map<std::string, std::string> vars = {{"BIP_SAMPLE", DROVANEL_BIP_SAMPLE},
                                                     {"BIP_LAYOUTS", DROVANEL_BIP_LAYOUTS}};
    const hostsim::sim::Scenario scenario = hostsim::sim::parseScenario(text, vars);
    if (!scenario.errors.empty()) {
        for (const hostsim::sim::ParseError &e : scenario.errors) {
            std::fprintf(stderr, "drovanel-sim: %s:%d: %s\n", name.c_str(), e.line, e.message.c_str());
        }
        std::fprintf(stderr, "drovanel-sim: %zu error%s in %s; nothing was run\n", scenario.errors.size(),
                     scenario.errors.size() == 1 ? "" : "s", name.c_str());
        return kUsageError;
    }
    if (checkOnly) {
        std::printf("%s: %zu steps, no errors\n", name.c_str(), scenario.steps.size());
        return 0;
    }

    hostsim::sim::StdoutCapture capture;
    hostsim::sim::PlayerOptions options;
    options.pluginFile = pluginFile;
    options.scenarioName = name;
    options.colour = !plain && stdoutIsTerminal();
    options.out = capture.start();
    options.capture = &capture;
    options.simulator = simulator;
    int status = 0;
    {
        hostsim::sim::Player player(options);
        status = player.play(scenario);
    }
    capture.stop();

    if (printLog) {
        std::printf("--- simulator log ---\n%s", hostsim::log().c_str());
        if (!hostsim::log().empty() && hostsim::log().back() != '\n') std::printf("\n");
        std::printf("--- menus ---\n%s", hostsim::menuText().c_str());
    }
    return status;
}
