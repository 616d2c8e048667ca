// drovanel-check: reads BIP layouts and aircraft profiles as the plug-in
// does and names everything wrong with its line, before a flight. Given the
// simulator's or an aircraft's lists of names, it also names each name a
// profile uses that the lists lack or whose type does not fit.
#include <cstdio>
#include <string>
#include <vector>

#include "hostsim/hostsim.h"
#include "tools/check/layout_check.h"
#include "tools/check/profile_check.h"

namespace {

constexpr int kClean = 0;
constexpr int kProblems = 1;
constexpr int kUsageError = 2;

void usage(std::FILE *out) {
    std::fputs(
        "usage: drovanel-check [--names LIST]... FILE...\n"
        "\n"
        "Reads each file with the Drovanel plug-in's own loader: a BIP layout (every\n"
        "lens 0-23 with its colour, flash, indicator and line, and the panel as it\n"
        "looks with every indicator on) or an aircraft profile (Drovanel.Profile.xml).\n"
        "Each problem is named with its line.\n"
        "\n"
        "  --names LIST  a list of the names the simulator or an aircraft publishes:\n"
        "                X-Plane's Resources/plugins/DataRefs.txt and Commands.txt,\n"
        "                or an aircraft's own lists. Give as many as the profile\n"
        "                draws on; each name a profile uses must be in one of them,\n"
        "                with a type that fits (a number, an Index for an array, a\n"
        "                writable dataref where the profile writes).\n"
        "\n"
        "Exit status: 0 every file is clean; 1 a file has problems or cannot be read;\n"
        "2 a bad command line.\n",
        out);
}

}  // namespace

int main(int argc, char **argv) {
    std::vector<std::string> files;
    std::vector<std::string> listFiles;
    bool optionsDone = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!optionsDone && (arg == "--help" || arg == "-h")) {
            usage(stdout);
            return kClean;
        }
        if (!optionsDone && arg == "--") {
            optionsDone = true;
        } else if (!optionsDone && arg == "--names") {
            if (i + 1 >= argc) {
                std::fputs("drovanel-check: --names needs a list file (see --help)\n", stderr);
                return kUsageError;
            }
            listFiles.push_back(argv[++i]);
        } else if (!optionsDone && arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "drovanel-check: unknown option '%s' (see --help)\n", arg.c_str());
            return kUsageError;
        } else {
            files.push_back(arg);
        }
    }
    if (files.empty()) {
        usage(stderr);
        return kUsageError;
    }
    checktool::NameLists lists;
    for (const std::string &list : listFiles) {
        std::string error;
        if (!checktool::readNameList(list, &lists, &error)) {
            std::fprintf(stderr, "drovanel-check: the list %s %s\n", list.c_str(), error.c_str());
            return kUsageError;
        }
    }

    // The BIP catalogue resolves its datarefs through the host.
    hostsim::reset();
    int status = kClean;
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::string report;
        bool clean;
        if (checktool::isProfileFile(files[i])) {
            const checktool::ProfileCheck check = checktool::checkProfile(files[i], listFiles.empty() ? nullptr : &lists);
            report = checktool::formatProfileCheck(files[i], check);
            clean = check.problems.empty();
        } else {
            const hostsim::bipcheck::LayoutCheck check = hostsim::bipcheck::checkLayout(files[i]);
            report = hostsim::bipcheck::formatCheck(files[i], check);
            clean = check.problems.empty();
        }
        std::fputs(((i > 0 ? "\n" : "") + report).c_str(), stdout);
        if (!clean) status = kProblems;
    }
    return status;
}
