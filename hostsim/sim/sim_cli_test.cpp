// drovanel-sim as a user meets it: the program run on scenario files, its
// exit status and what it writes to stderr.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct SimRun {
    int status;
    std::string err;
};

// Each test runs in its own process (and tests run in parallel): the
// process id keeps their files apart.
std::string tempPath(const std::string &name) {
    const char *tmp = std::getenv("TMPDIR");
    return std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/drovanel-sim-test-" +
           std::to_string(getpid()) + "-" + name;
}

SimRun runSim(const std::string &arguments) {
    const std::string errFile = tempPath("stderr.txt");
    const std::string command = std::string("\"") + DROVANEL_SIM_PROGRAM + "\" " + arguments + " > /dev/null 2> \"" +
                                errFile + "\"";
    const int raw = std::system(command.c_str());
    std::ifstream in(errFile);
    std::ostringstream err;
    err << in.rdbuf();
    std::remove(errFile.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, err.str()};
}

std::string scenarioFile(const std::string &name, const std::string &text) {
    const std::string path = tempPath(name);
    std::ofstream(path) << text;
    return path;
}

TEST(SimProgram, ATypoStopsEverythingAndNamesItsLine) {
    const std::string file = scenarioFile("typo.scenario",
                                          "# tune COM1\n"
                                          "radio1 upper com1\n"
                                          "radio1 trun upper fine up\n"
                                          "expect radio1 upper-active 118.00\n");
    const SimRun run = runSim("--plain --scenario \"" + file + "\"");
    std::remove(file.c_str());
    EXPECT_EQ(2, run.status);
    EXPECT_NE(std::string::npos, run.err.find("typo.scenario:3: unknown Radio Panel control 'trun'")) << run.err;
    EXPECT_NE(std::string::npos, run.err.find("1 error in")) << run.err;
    EXPECT_NE(std::string::npos, run.err.find("nothing was run")) << run.err;
}

TEST(SimProgram, AnUnmetExpectationFailsAtItsStep) {
    const std::string file = scenarioFile("unmet.scenario",
                                          "set sim/cockpit/autopilot/altitude 5000\n"
                                          "expect dataref sim/cockpit/autopilot/altitude 5000\n"
                                          "expect multi top 12345 within 300\n"
                                          "expect log \"never reached\"\n");
    const SimRun run = runSim("--plain --scenario \"" + file + "\"");
    std::remove(file.c_str());
    EXPECT_EQ(1, run.status);
    EXPECT_NE(std::string::npos, run.err.find("unmet.scenario:3: expect multi top 12345 within 300")) << run.err;
    EXPECT_NE(std::string::npos, run.err.find("\n  not met: ")) << run.err;
    EXPECT_NE(std::string::npos, run.err.find("(waited 300 ms)")) << run.err;
    EXPECT_EQ(std::string::npos, run.err.find("never reached")) << run.err;
}

TEST(SimProgram, AnAircraftFolderBringsItsOwnBipLayout) {
    const std::string folder = tempPath("Glider");
    std::filesystem::create_directories(folder);
    std::ofstream(folder + "/Glider.acf") << "";
    std::ofstream(folder + "/Drovanel.BacklitInformationPanel.xml")
        << "<Bip><BipProgramming><Lense><Assignment>4</Assignment><Colour>Amber</Colour>"
           "<Id>MasterCaution</Id></Lense></BipProgramming></Bip>";
    const std::string file = scenarioFile("glider.scenario",
                                          "switch battery on\n"
                                          "set sim/cockpit/warnings/annunciators/master_caution 1\n"
                                          "aircraft \"" + folder + "\"\n"
                                          "expect log \"BIP layout of the aircraft >" + folder + "/\"\n"
                                          "expect bip lens 4 amber\n"
                                          "aircraft \"" + folder + "-missing\"\n");
    const SimRun run = runSim("--plain --scenario \"" + file + "\"");
    std::remove(file.c_str());
    std::filesystem::remove_all(folder);
    EXPECT_EQ(1, run.status) << run.err;
    EXPECT_NE(std::string::npos, run.err.find("glider.scenario:6: aircraft")) << run.err;
    EXPECT_NE(std::string::npos, run.err.find("no aircraft folder")) << run.err;
}

TEST(SimProgram, CommandLineMistakesAreRefused) {
    EXPECT_EQ(2, runSim("--frobnicate").status);
    EXPECT_EQ(2, runSim("--scenario").status);
    const SimRun missing = runSim("--scenario /nonexistent/x.scenario");
    EXPECT_EQ(2, missing.status);
    EXPECT_NE(std::string::npos, missing.err.find("cannot read /nonexistent/x.scenario")) << missing.err;
    EXPECT_EQ(2, runSim("--xplane 10").status);
    EXPECT_EQ(0, runSim("--check").status);
    EXPECT_EQ(0, runSim("--help").status);
}

TEST(SimProgram, TheModelledSimulatorsOwnNamesDriveTheSwitches) {
    // The same switches under each version, chosen by the option or by a step.
    const char *const switches =
        "switch deice on\n"
        "switch pitot on\n"
        "switch magneto start\n"
        "expect command sim/ice/pitot_heat0_on\n"
        "expect command sim/engines/engage_starters\n";
    const std::string by1140Step = scenarioFile("xp1140.scenario", std::string("simulator 11.40\nenable\n") + switches +
                                                                       "expect dataref sim/cockpit2/ice/ice_all_on 1\n");
    const std::string by12 = scenarioFile("xp12.scenario", std::string(switches) +
                                                               "expect dataref sim/cockpit2/ice/ice_all_on 0\n"
                                                               "expect dataref sim/cockpit2/ice/ice_prop_heat_on 1\n");
    const SimRun run1140 = runSim("--plain --scenario \"" + by1140Step + "\"");
    const SimRun run1140Option = runSim("--plain --xplane 11.40 --scenario \"" + by1140Step + "\"");
    const SimRun run12 = runSim("--plain --xplane 12 --scenario \"" + by12 + "\"");
    std::remove(by1140Step.c_str());
    std::remove(by12.c_str());
    EXPECT_EQ(0, run1140.status) << run1140.err;
    EXPECT_EQ(0, run1140Option.status) << run1140Option.err;
    EXPECT_EQ(0, run12.status) << run12.err;
}

}  // namespace
