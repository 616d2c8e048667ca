// drovanel-check on aircraft profiles: the lists of names it reads, each
// kind of name problem with its line, and the program's exit status.
#include "tools/check/profile_check.h"

#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "hostsim/hostsim.h"

namespace checktool {
namespace {

std::string writeFile(const std::string &name, const std::string &text) {
    const std::string path = hostsim::prefsFile(name);
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

std::string problemsText(const ProfileCheck &check) {
    std::string text;
    for (const Problem &p : check.problems) text += std::to_string(p.line) + ": " + p.text + "\n";
    return text;
}

class ProfileCheckTest : public testing::Test {
protected:
    void SetUp() override { hostsim::reset(); }
};

TEST_F(ProfileCheckTest, ListsOfEveryKindAreRead) {
    NameLists lists;
    // X-Plane's DataRefs.txt and Commands.txt, and an aircraft's lists.
    addNameList("2 1001 Mon Jun 29 2020\n"
                "sim/cockpit/autopilot/heading_mag\tfloat\ty\tdegm\tHeading\r\n"
                "sim/aircraft/view/acf_tailnum\tbyte[40]\ty\tstring\tTail number\n",
                &lists);
    addNameList("sim/none/none\tDo nothing.\nsim/autopilot/heading   Heading hold.\n", &lists);
    addNameList("laminar/B738/autopilot/course_pilot\tnumber\tn\nlaminar/B738/EFIS/tcas_ai_show\tarray[19]\tn\n"
                "laminar/B738/autopilot/heading_up\n",
                &lists);
    EXPECT_EQ(lists.datarefs.size(), 4u);
    EXPECT_EQ(lists.datarefs["sim/aircraft/view/acf_tailnum"], "byte[40]");
    EXPECT_EQ(lists.writable.size(), 2u);
    EXPECT_EQ(lists.commands, (std::set<std::string>{"sim/none/none", "sim/autopilot/heading",
                                                     "laminar/B738/autopilot/heading_up"}));
    struct Row {
        const char *type;
        bool number;
        int elements;
    };
    const Row rows[] = {{"int", true, 0},     {"float[8]", true, 8}, {"double", true, 0}, {"number", true, 0},
                        {"array[19]", true, 19}, {"byte[40]", false, 40}, {"string", false, 0}, {"data", false, 0}};
    for (const Row &row : rows) {
        EXPECT_EQ(parseListedType(row.type).number, row.number) << row.type;
        EXPECT_EQ(parseListedType(row.type).elements, row.elements) << row.type;
    }
}

TEST_F(ProfileCheckTest, NamesTheListsLackAndTypesThatDoNotFit) {
    NameLists lists;
    addNameList("sim/cockpit/autopilot/heading_mag\tfloat\ty\n"
                "sim/flightmodel/engine/ENGN_mixt\tfloat[16]\ty\n"
                "sim/aircraft/view/acf_tailnum\tbyte[40]\ty\n"
                "laminar/B738/autopilot/course_pilot\tnumber\tn\n"
                "laminar/B738/autopilot/heading_up\nlaminar/B738/autopilot/heading_dn\n",
                &lists);
    const std::string path = writeFile("p.xml", R"(<DrovanelProfile Name="Test">
<Match Acf="b738.acf" Dataref="laminar/B738/autopilot/course_pilot"/>
<Multipanel>
<Knob Selector="HDG" Up="laminar/B738/autopilot/heading_up" Down="laminar/B738/autopilot/heading_dnn"/>
<Knob Selector="CRS" Dataref="laminar/B738/autopilot/course_pilot" Step="1" Min="0" Max="359"/>
<Display Selector="ALT" Dataref="sim/flightmodel/engine/ENGN_mixt"/>
<Display Selector="VS" Dataref="sim/flightmodel/engine/ENGN_mixt" Index="16"/>
<Display Selector="IAS" Dataref="sim/cockpit/autopilot/heading_mag" Index="1"/>
<Lamp Name="AP" Dataref="sim/aircraft/view/acf_tailnum" Index="0"/>
<Button Name="AP" Command="sim/cockpit/autopilot/heading_mag"/>
<Button Name="HDG" Dataref="laminar/B738/autopilot/heading_up" Value="1"/>
</Multipanel>
</DrovanelProfile>
)");
    const ProfileCheck check = checkProfile(path, &lists);
    EXPECT_TRUE(check.loaded);
    EXPECT_EQ(check.names, 10);
    EXPECT_EQ(problemsText(check),
              "4: command >laminar/B738/autopilot/heading_dnn< is in none of the given lists\n"
              "5: >laminar/B738/autopilot/course_pilot< is read-only: it cannot be written\n"
              "6: >sim/flightmodel/engine/ENGN_mixt< is float[16]: give the Index of its element\n"
              "7: Index 16 is past the end of >sim/flightmodel/engine/ENGN_mixt< (float[16])\n"
              "8: >sim/cockpit/autopilot/heading_mag< is float: it has no Index\n"
              "9: >sim/aircraft/view/acf_tailnum< is byte[40], not a number\n"
              "10: >sim/cockpit/autopilot/heading_mag< is a dataref, not a command\n"
              "11: >laminar/B738/autopilot/heading_up< is a command, not a dataref\n");
    EXPECT_EQ(problemsText(checkProfile(path, nullptr)), "") << "names are checked only against lists";
    EXPECT_EQ(formatProfileCheck("p.xml", checkProfile(path, nullptr)),
              "Aircraft profile p.xml\n  \"Test\", for b738.acf publishing laminar/B738/autopilot/course_pilot\n"
              "  10 names, not checked (give the lists with --names FILE)\n\nNo problems.\n");
}

struct CheckRun {
    int status;
    std::string out;
};

CheckRun runCheck(const std::string &arguments) {
    const std::string outFile = hostsim::prefsFile("check-output.txt");
    const std::string command = std::string("\"") + DROVANEL_CHECK_PROGRAM + "\" " + arguments + " > \"" + outFile + "\" 2>&1";
    const int raw = std::system(command.c_str());
    std::ifstream in(outFile);
    std::ostringstream out;
    out << in.rdbuf();
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, out.str()};
}

TEST_F(ProfileCheckTest, ProgramCatchesAMisspeltNameAgainstTheAircraftsList) {
    const std::string zibo = std::string(DROVANEL_SOURCE_DIR) + "/hostsim/aircraft-names/zibo-737/";
    const std::string names = "--names \"" + zibo + "datarefs.tsv\" --names \"" + zibo + "commands.txt\" ";
    const std::string good = writeFile("good.xml", "<DrovanelProfile><Multipanel>\n"
                                                   "<Button Name=\"AP\" Command=\"laminar/B738/autopilot/cmd_a_press\"/>"
                                                   "</Multipanel></DrovanelProfile>");
    const std::string misspelt = writeFile("misspelt.xml", "<DrovanelProfile><Multipanel>\n"
                                                           "<Button Name=\"AP\" Command=\"laminar/B738/autopilot/cmd_a_pres\"/>"
                                                           "</Multipanel></DrovanelProfile>");
    const std::string refused = writeFile("refused.xml", "<DrovanelProfile>\n<Multipanel><Knob/></Multipanel></DrovanelProfile>");
    CheckRun run = runCheck(names + "\"" + good + "\"");
    EXPECT_EQ(run.status, 0) << run.out;
    run = runCheck(names + "\"" + good + "\" \"" + misspelt + "\"");
    EXPECT_EQ(run.status, 1) << run.out;
    EXPECT_NE(run.out.find("  line 2: command >laminar/B738/autopilot/cmd_a_pres< is in none of the given lists\n"),
              std::string::npos)
        << run.out;
    run = runCheck("\"" + refused + "\"");
    EXPECT_EQ(run.status, 1) << run.out;
    EXPECT_NE(run.out.find("refused by the plug-in"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("line 2: <Knob> needs Selector"), std::string::npos) << run.out;
    EXPECT_EQ(runCheck("--names").status, 2);
    EXPECT_EQ(runCheck("--names \"" + hostsim::prefsFile("no-list.txt") + "\" \"" + good + "\"").status, 2);
}

}  // namespace
}  // namespace checktool
