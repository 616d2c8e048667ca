// drovanel-bip-check: reads BIP layout files as the plug-in does and shows
// what each lens will do and everything wrong, with its line, before a
// flight.
#include <cstdio>
#include <string>
#include <vector>

#include "hostsim/bip_check/layout_check.h"
#include "hostsim/hostsim.h"

namespace {

constexpr int kClean = 0;
constexpr int kProblems = 1;
constexpr int kUsageError = 2;

void usage(std::FILE *out) {
    std::fputs(
        "usage: drovanel-bip-check FILE...\n"
        "\n"
        "Reads each BIP layout file with the Drovanel plug-in's own loader and prints\n"
        "every lens 0-23 (colour, flash, indicator, line), the panel as it looks with\n"
        "every indicator on, and each problem with its line.\n"
        "\n"
        "Exit status: 0 every file is clean; 1 a file has problems or cannot be read;\n"
        "2 a bad command line.\n",
        out);
}

}  // namespace

int main(int argc, char **argv) {
    std::vector<std::string> files;
    bool optionsDone = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!optionsDone && (arg == "--help" || arg == "-h")) {
            usage(stdout);
            return kClean;
        }
        if (!optionsDone && arg == "--") {
            optionsDone = true;
        } else if (!optionsDone && arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "drovanel-bip-check: unknown option '%s' (see --help)\n", arg.c_str());
            return kUsageError;
        } else {
            files.push_back(arg);
        }
    }
    if (files.empty()) {
        usage(stderr);
        return kUsageError;
    }

    // The catalogue resolves its datarefs through the host.
    hostsim::reset();
    int status = kClean;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const hostsim::bipcheck::LayoutCheck check = hostsim::bipcheck::checkLayout(files[i]);
        std::fputs(((i > 0 ? "\n" : "") + hostsim::bipcheck::formatCheck(files[i], check)).c_str(), stdout);
        if (!check.problems.empty()) status = kProblems;
    }
    return status;
}
