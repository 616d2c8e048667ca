#include "tools/check/layout_check.h"

#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "hostsim/hostsim.h"

namespace hostsim {
namespace bipcheck {
namespace {

std::string writeLayout(const std::string &name, const std::string &text) {
    const std::string path = prefsFile(name);
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

std::string problemsText(const LayoutCheck &check) {
    std::string text;
    for (const Problem &p : check.problems) text += std::to_string(p.line) + ": " + p.text + "\n";
    return text;
}

class LayoutCheckTest : public ::testing::Test {
protected:
    void SetUp() override { reset(); }
};

TEST_F(LayoutCheckTest, ACleanFileShowsEveryLensAndThePanel) {
    const std::string path = writeLayout("clean.xml",
                                         "<?xml version=\"1.0\"?>\n"
                                         "<!-- a short layout -->\n"
                                         "<Bip><BipProgramming Brightness=\"100\">\n"
                                         "  <Lense><Assignment>0</Assignment><Colour>Red</Colour><Id>MasterWarning</Id>\n"
                                         "         <Flash On=\"100\" Off=\"500\"/></Lense>\n"
                                         "  <Lense><Assignment>9</Assignment><Colour>amber</Colour><Id>gearunsafe</Id></Lense>\n"
                                         "  <Lense><Assignment>23</Assignment><Colour>Green</Colour><Id>GearDown</Id>\n"
                                         "         <Flash On=\"500\" Off=\"0\"/></Lense>\n"
                                         "</BipProgramming></Bip>\n");
    const LayoutCheck check = checkLayout(path);
    EXPECT_TRUE(check.problems.empty()) << problemsText(check);
    std::string expected = "BIP layout " + path +
                           "\n"
                           "\n"
                           " lens  colour  flash ms    indicator              line\n"
                           "   0   red     200/500     MasterWarning            4\n";
    for (int lens = 1; lens < 23; ++lens) {
        if (lens == 9) {
            expected += "   9   amber   -           gearunsafe               6\n";
        } else {
            char row[32];
            std::snprintf(row, sizeof row, "  %2d   -\n", lens);
            expected += row;
        }
    }
    expected +=
        "  23   green   -           GearDown                 7\n"
        "\n"
        "The panel with every indicator on (R red, G green, A amber, - dark):\n"
        "   0-7   R - - - - - - -\n"
        "   8-15  - A - - - - - -\n"
        "  16-23  - - - - - - - G\n"
        "\n"
        "No problems.\n";
    EXPECT_EQ(formatCheck(path, check), expected);
}

TEST_F(LayoutCheckTest, EveryKindOfEntryProblemIsFoundOnItsLine) {
    const std::string path = writeLayout(
        "problems.xml",
        "<?xml version=\"1.0\"?>\n"                                                                        // 1
        "<Bip>\n"                                                                                          // 2
        "  <BipProgramming Brightness=\"100\">\n"                                                          // 3
        "    <Lense><Assignment>0</Assignment><Colour>Red</Colour><Id>MasterWarning</Id></Lense>\n"        // 4
        "    <Lense><Assignment>1</Assignment><Colour>Amber</Colour><Id>MasterWarn</Id></Lense>\n"         // 5
        "    <Lense>\n"                                                                                    // 6
        "      <Colour>Red</Colour><Id>GearUnsafe</Id>\n"                                                  // 7
        "    </Lense>\n"                                                                                   // 8
        "    <Lense><Assignment>2</Assignment><Id>GearDown</Id></Lense>\n"                                 // 9
        "    <Lense><Assignment>3</Assignment><Colour>Green</Colour></Lense>\n"                            // 10
        "    <Lense><Assignment>24</Assignment><Colour>Red</Colour><Id>VacLow</Id></Lense>\n"              // 11
        "    <Lense><Assignment>0</Assignment><Colour>Amber</Colour><Id>MasterCaution</Id></Lense>\n"      // 12
        "    <Lense><Assignment>4</Assignment><Colour>Blue</Colour><Id>VacLow</Id></Lense>\n"              // 13
        "    <Lense><Assignment>5</Assignment><Colour>Red</Colour><Id>StallWarning</Id>\n"                 // 14
        "      <Flash On=\"500\"/></Lense>\n"                                                              // 15
        "    <Lense><Assignment>\n"                                                                        // 16
        "      </Assignment><Colour>Red</Colour><Id>VacLow</Id></Lense>\n"                                 // 17
        "    <Lense><Assignment>6x</Assignment><Colour>Red</Colour><Id>VacLow</Id></Lense>\n"             // 18
        "  </BipProgramming>\n"
        "</Bip>\n");
    const LayoutCheck check = checkLayout(path);
    EXPECT_EQ(problemsText(check),
              "5: unknown indicator \"MasterWarn\": lens 1 stays dark\n"
              "6: lens entry without <Assignment>: the entry is skipped\n"
              "9: lens entry without <Colour>: the entry is skipped\n"
              "10: lens entry without <Id>: the entry is skipped\n"
              "11: lens number \"24\" is out of range (0-23): the entry is skipped\n"
              "12: lens 0 given twice (first at line 4): this entry replaces that one\n"
              "13: unknown colour \"Blue\" (Red, Green or Amber): lens 4 never lights\n"
              "15: <Flash> without its Off attribute: lens 5 does not flash\n"
              "16: <Assignment> is empty: the entry is skipped\n"
              "18: lens number \"6x\" is not a whole number: read as lens 6\n");
    // The lenses as the plug-in leaves them: the later lens 0 wins, the
    // unknown indicator leaves lens 1 dark, lens 4 is bound but never lit.
    EXPECT_EQ(check.lenses[0].indicator, "MasterCaution");
    EXPECT_EQ(check.lenses[0].line, 12);
    EXPECT_FALSE(check.lenses[1].bound);
    EXPECT_TRUE(check.lenses[4].bound);
    EXPECT_TRUE(check.lenses[5].bound);
    EXPECT_EQ(check.lenses[5].flashOn, 0u);
    EXPECT_EQ(panelDrawing(check),
              "   0-7   A - - - - R R -\n"
              "   8-15  - - - - - - - -\n"
              "  16-23  - - - - - - - -\n");
    const std::string report = formatCheck(path, check);
    EXPECT_NE(report.find("\n10 problems:\n  line 5: unknown indicator \"MasterWarn\""), std::string::npos) << report;
}

// Entries written one part per line, the parts in varying order: each
// problem names the line of the part at fault, never the <Lense> line.
TEST_F(LayoutCheckTest, EntriesWrittenOnePartPerLineNameThePartsLine) {
    const std::string path = writeLayout("multiline.xml",
                                         "<?xml version=\"1.0\"?>\n"                  // 1
                                         "<Bip><BipProgramming Brightness=\"100\">\n"  // 2
                                         "  <Lense>\n"                                 // 3
                                         "    <Assignment>2</Assignment>\n"            // 4
                                         "    <Colour>Red</Colour>\n"                  // 5
                                         "    <Id>MasterWarn</Id>\n"                   // 6
                                         "  </Lense>\n"                                // 7
                                         "  <Lense>\n"                                 // 8
                                         "    <Id>GearDown</Id>\n"                     // 9
                                         "    <Colour>Blue</Colour>\n"                 // 10
                                         "    <Assignment>3</Assignment>\n"            // 11
                                         "  </Lense>\n"                                // 12
                                         "  <Lense>\n"                                 // 13
                                         "    <Colour>Red</Colour>\n"                  // 14
                                         "    <Assignment>25</Assignment>\n"           // 15
                                         "    <Id>VacLow</Id>\n"                       // 16
                                         "  </Lense>\n"                                // 17
                                         "  <Lense>\n"                                 // 18
                                         "    <Colour>Green</Colour>\n"                // 19
                                         "    <Id>GearDown</Id>\n"                     // 20
                                         "    <Assignment>3x</Assignment>\n"           // 21
                                         "    <Flash On=\"500\"/>\n"                   // 22
                                         "  </Lense>\n"                                // 23
                                         "  <Lense>\n"                                 // 24
                                         "    <Assignment>4</Assignment>\n"            // 25
                                         "    <Colour>Red</Colour>\n"                  // 26
                                         "    <Id> </Id>\n"                            // 27
                                         "  </Lense>\n"                                // 28
                                         "  <Lense>\n"                                 // 29
                                         "    <Id>VacLow</Id>\n"                       // 30
                                         "    <Assignment>5</Assignment>\n"            // 31
                                         "    <Colour></Colour>\n"                     // 32
                                         "  </Lense>\n"                                // 33
                                         "</BipProgramming></Bip>\n");
    const LayoutCheck check = checkLayout(path);
    EXPECT_EQ(problemsText(check),
              "6: unknown indicator \"MasterWarn\": lens 2 stays dark\n"
              "10: unknown colour \"Blue\" (Red, Green or Amber): lens 3 never lights\n"
              "15: lens number \"25\" is out of range (0-23): the entry is skipped\n"
              "21: lens number \"3x\" is not a whole number: read as lens 3\n"
              "21: lens 3 given twice (first at line 11): this entry replaces that one\n"
              "22: <Flash> without its Off attribute: lens 3 does not flash\n"
              "27: <Id> is empty: the entry is skipped\n"
              "32: <Colour> is empty: the entry is skipped\n");
    // The table names the entry that bound each lens by its own line.
    EXPECT_EQ(check.lenses[3].line, 18);
    EXPECT_EQ(check.lenses[3].indicator, "GearDown");
}

TEST_F(LayoutCheckTest, FilesThatCannotBeReadOrHoldNoLayout) {
    std::string deep = "<Bip>\n<BipProgramming>\n";
    for (int i = 0; i < 70; ++i) deep += "<a>\n";
    std::string huge = "<Bip><BipProgramming>";
    huge.resize(1024 * 1024 + 1, ' ');
    struct Row {
        const char *name;
        std::string text;
        const char *problems;
    };
    const Row rows[] = {
        {"broken.xml", "<Bip>\n  <BipProgramming>\n    <Lense></Lens>\n",
         "3: column 12: not well-formed XML: Error reading end tag.\n"},
        {"empty.xml", "", "0: not well-formed XML: Error document empty.\n"},
        // The 65th level is the 63rd <a>, on line 65.
        {"deep.xml", deep, "65: elements nested deeper than 64 levels: the file is not read\n"},
        {"huge.xml", huge, "0: the file is larger than 1048576 bytes\n"},
        {"other.xml", "<Layout/>", "0: no <Bip> element: the panel stays dark\n"},
        {"nobp.xml", "\n<Bip>\n  <Programming/>\n</Bip>", "2: <Bip> has no <BipProgramming>: the panel stays dark\n"},
        {"nolense.xml", "<Bip>\n  <BipProgramming>\n    <Lens/>\n  </BipProgramming>\n</Bip>",
         "2: <BipProgramming> has no <Lense> entry: the panel stays dark\n"},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(problemsText(checkLayout(writeLayout(row.name, row.text))), row.problems) << row.name;
    }
    const LayoutCheck missing = checkLayout(prefsFile("missing.xml"));
    EXPECT_FALSE(missing.readable);
    EXPECT_EQ(problemsText(missing), "0: the file cannot be opened (No such file or directory)\n");
    // Nothing to draw when the file was not read.
    EXPECT_EQ(formatCheck("m.xml", missing),
              "BIP layout m.xml\n\n1 problem:\n  the file cannot be opened (No such file or directory)\n");
}

// The program as a user runs it.
struct CheckRun {
    int status;
    std::string out;
};

CheckRun runCheck(const std::string &arguments) {
    const std::string outFile = prefsFile("check-output.txt");
    const std::string command =
        std::string("\"") + DROVANEL_CHECK_PROGRAM + "\" " + arguments + " > \"" + outFile + "\" 2>&1";
    const int raw = std::system(command.c_str());
    std::ifstream in(outFile);
    std::ostringstream out;
    out << in.rdbuf();
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, out.str()};
}

TEST_F(LayoutCheckTest, ProgramExitStatusTellsCleanProblemsAndBadCommandLines) {
    const std::string clean = writeLayout("clean.xml",
                                          "<Bip><BipProgramming><Lense><Assignment>7</Assignment>"
                                          "<Colour>Red</Colour><Id>VacLow</Id></Lense></BipProgramming></Bip>");
    const std::string bad = writeLayout("bad.xml",
                                        "<Bip><BipProgramming>\n<Lense><Assignment>7</Assignment>"
                                        "<Colour>Red</Colour><Id>VacLo</Id></Lense></BipProgramming></Bip>");
    CheckRun run = runCheck("\"" + clean + "\"");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("   0-7   - - - - - - - R\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("No problems."), std::string::npos) << run.out;

    run = runCheck("\"" + clean + "\" \"" + bad + "\"");
    EXPECT_EQ(run.status, 1) << run.out;
    EXPECT_NE(run.out.find("line 2: unknown indicator \"VacLo\": lens 7 stays dark"), std::string::npos) << run.out;
    EXPECT_EQ(runCheck("\"" + prefsFile("none.xml") + "\"").status, 1);

    EXPECT_EQ(runCheck("").status, 2);
    EXPECT_EQ(runCheck("--frobnicate \"" + clean + "\"").status, 2);
    run = runCheck("--help");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.find("usage: drovanel-check [--names LIST]... FILE..."), 0u) << run.out;
}

}  // namespace
}  // namespace bipcheck
}  // namespace hostsim
