#include "hostsim/sim/scenario.h"

#include <gtest/gtest.h>

#include "hostsim/panels/multipanel.h"
#include "hostsim/panels/radiopanel.h"
#include "hostsim/panels/switchpanel.h"
#include "hostsim/sim/default_scenario.h"

namespace hostsim {
namespace sim {
namespace {

const std::map<std::string, std::string> kVars = {{"BIP_SAMPLE", "/opt/bip.xml"}, {"BIP_LAYOUTS", "/opt/layouts"}};

Scenario parse(const std::string &text) { return parseScenario(text, kVars); }

// The single error of a one-line scenario, as "line: message".
std::string errorOf(const std::string &line) {
    Scenario s = parse(line);
    if (s.errors.size() != 1) return "expected one error, got " + std::to_string(s.errors.size());
    return std::to_string(s.errors[0].line) + ": " + s.errors[0].message;
}

TEST(ScenarioWords, QuotesEscapesCommentsAndVariables) {
    std::vector<std::string> words;
    std::string error;
    ASSERT_TRUE(splitWords("type \"Multipanel\" \"a \\\"b\\\" \\\\ c\\n\"  # ignored", kVars, &words, &error));
    EXPECT_EQ((std::vector<std::string>{"type", "Multipanel", "a \"b\" \\ c\n"}), words);

    ASSERT_TRUE(splitWords("expect multi top \"\"", kVars, &words, &error));
    EXPECT_EQ((std::vector<std::string>{"expect", "multi", "top", ""}), words);

    ASSERT_TRUE(splitWords("type x \"${BIP_SAMPLE}\" ${BIP_SAMPLE}.bak", kVars, &words, &error));
    EXPECT_EQ((std::vector<std::string>{"type", "x", "/opt/bip.xml", "/opt/bip.xml.bak"}), words);

    ASSERT_TRUE(splitWords("   # only a comment", kVars, &words, &error));
    EXPECT_TRUE(words.empty());
}

TEST(ScenarioWords, BadLinesSayWhy) {
    std::vector<std::string> words;
    std::string error;
    EXPECT_FALSE(splitWords("note \"open", kVars, &words, &error));
    EXPECT_EQ("unterminated quote", error);
    EXPECT_FALSE(splitWords("note ${NOPE}", kVars, &words, &error));
    EXPECT_EQ("unknown variable ${NOPE}", error);
    EXPECT_FALSE(splitWords("note a\"b\"", kVars, &words, &error));
    EXPECT_FALSE(splitWords("note \"a\"b", kVars, &words, &error));
    EXPECT_FALSE(splitWords("note \"\\q\"", kVars, &words, &error));
}

TEST(ScenarioParse, PanelControlsBecomeTypedSteps) {
    Scenario s = parse(
        "# a comment line\n"
        "\n"
        "multi selector HDG\n"
        "multi turn down 4 fast\n"
        "multi press apr\n"
        "radio2 turn lower coarse up 3\n"
        "radio1 upper xpdr\n"
        "switch magneto start\n"
        "switch gear down\n"
        "switch pitot on\n");
    ASSERT_TRUE(s.errors.empty()) << s.errors[0].message;
    ASSERT_EQ(8u, s.steps.size());
    EXPECT_EQ(3, s.steps[0].line);
    EXPECT_EQ(Action::MultiSelector, s.steps[0].action);
    EXPECT_EQ(static_cast<int>(multipanel::Selector::Hdg), s.steps[0].code);
    EXPECT_EQ("multi", s.steps[0].device);

    EXPECT_EQ(Action::MultiTurn, s.steps[1].action);
    EXPECT_FALSE(s.steps[1].on);
    EXPECT_EQ(4, s.steps[1].count);
    EXPECT_TRUE(s.steps[1].fast);

    EXPECT_EQ(6, s.steps[2].code);  // APR, the seventh button

    EXPECT_EQ("radio2", s.steps[3].device);
    EXPECT_EQ(static_cast<int>(radiopanel::kLowerCoarseUp), s.steps[3].code);
    EXPECT_EQ(3, s.steps[3].count);
    EXPECT_FALSE(s.steps[3].fast);

    EXPECT_TRUE(s.steps[4].on);
    EXPECT_EQ(static_cast<int>(radiopanel::Selector::Xpdr), s.steps[4].code);
    EXPECT_EQ(static_cast<int>(switchpanel::Magneto::Start), s.steps[5].code);
    EXPECT_TRUE(s.steps[6].on);
    EXPECT_EQ(Action::SwitchSet, s.steps[7].action);
    EXPECT_EQ("pitot", s.steps[7].word);
    EXPECT_FALSE(s.hasEnable);
}

TEST(ScenarioParse, HostStepsAndExpectations) {
    Scenario s = parse(
        "set sim/cockpit/electrical/battery_array_on[2] 1\n"
        "set sim/cockpit/autopilot/heading_mag 95.5\n"
        "message x737plugin 0x88888880\n"
        "menu \"Preferences...\"\n"
        "type \"Backlit Information Panel\" \"Configuration File\" \"${BIP_SAMPLE}\"\n"
        "expect multi lamps hdg AP within 600\n"
        "expect switch gear all transit\n"
        "expect bip lens 23 amber\n"
        "expect radio1 lower-standby \" 110.30 \"\n"
        "enable\n");
    ASSERT_TRUE(s.errors.empty()) << s.errors[0].message;
    ASSERT_EQ(10u, s.steps.size());
    EXPECT_EQ("sim/cockpit/electrical/battery_array_on", s.steps[0].path);
    EXPECT_EQ(2, s.steps[0].index);
    EXPECT_DOUBLE_EQ(95.5, s.steps[1].value);
    EXPECT_EQ(static_cast<int>(0x88888880u), s.steps[2].code);
    EXPECT_EQ("drovanel", s.steps[3].path);
    EXPECT_EQ("Configuration File", s.steps[4].word);
    EXPECT_EQ("/opt/bip.xml", s.steps[4].text);

    EXPECT_EQ(Check::MultiLamps, s.steps[5].check);
    EXPECT_EQ("hdg AP", s.steps[5].text);
    EXPECT_EQ(600, s.steps[5].withinMs);
    EXPECT_EQ(0, s.steps[6].index);  // all three lamps
    EXPECT_EQ(kDefaultWithinMs, s.steps[6].withinMs);
    EXPECT_EQ("A", s.steps[7].text);
    EXPECT_EQ("110.30", s.steps[8].text);
    EXPECT_TRUE(s.hasEnable);
}

TEST(ScenarioParse, AttachedPanelsGetNamesLaterStepsMayUse) {
    Scenario s = parse(
        "radio3 swap upper\n"
        "attach radio\n"
        "radio3 swap upper\n"
        "attach multi\n"
        "multi2 press ap\n"
        "detach radio3\n"
        "plug radio3\n");
    ASSERT_EQ(1u, s.errors.size());
    EXPECT_EQ(1, s.errors[0].line);
    EXPECT_EQ("unknown step 'radio3'", s.errors[0].message);
    EXPECT_EQ("radio3", s.steps[0].device);
    EXPECT_EQ("multi2", s.steps[2].device);
    EXPECT_EQ(Action::Plug, s.steps[5].action);
    EXPECT_EQ("radio3", s.steps[5].device);
}

TEST(ScenarioParse, EachKindOfMistakeNamesItsLine) {
    EXPECT_EQ("1: unknown step 'mutli'", errorOf("mutli press ap"));
    EXPECT_EQ("1: unknown button 'xyz' (one of: ap, hdg, nav, ias, alt, vs, apr, rev)", errorOf("multi press xyz"));
    EXPECT_EQ("1: unknown Multi Panel control 'spin' (selector, turn, press, autothrottle, flaps, trim)",
              errorOf("multi spin up"));
    EXPECT_EQ("1: the number of notches must be a whole number from 1 to 1000, not '0'",
              errorOf("multi turn up 0"));
    EXPECT_EQ("1: expected: multi turn up|down [N] [fast]", errorOf("multi turn up 2 slow"));
    EXPECT_EQ("1: unknown dataref 'sim/no/such'", errorOf("set sim/no/such 1"));
    EXPECT_EQ("1: the value must be a number, not 'x'", errorOf("set sim/cockpit/autopilot/altitude x"));
    EXPECT_EQ("1: expected: set DATAREF[INDEX] VALUE", errorOf("set sim/cockpit/autopilot/altitude"));
    EXPECT_EQ("1: unknown row 'middle' (one of: upper, lower)", errorOf("radio1 swap middle"));
    EXPECT_EQ("1: unknown position 'maybe' (one of: on, off)", errorOf("switch battery maybe"));
    EXPECT_EQ("1: the BIP has no controls; use 'expect bip ...'", errorOf("bip lens 3"));
    EXPECT_EQ("1: no device named 'radio9'", errorOf("detach radio9"));
    EXPECT_EQ("1: no device named 'radio9'", errorOf("plug radio9"));
    EXPECT_EQ("1: the lens must be a whole number from 0 to 23, not '24'", errorOf("expect bip lens 24 red"));
    EXPECT_EQ("1: unknown lens colour 'blue' (one of: red, green, amber, off)", errorOf("expect bip lens 2 blue"));
    EXPECT_EQ("1: a Switch Panel shows its gear lamps: expect switch gear ...",
              errorOf("expect switch lamp 1 down"));
    EXPECT_EQ("1: the time after 'within' must be a whole number from 0 to 600000, not 'soon'",
              errorOf("expect log x within soon"));
    EXPECT_EQ("1: cannot expect 'weather' (a device name, dataref, command or log)", errorOf("expect weather"));
    EXPECT_EQ("1: the message number must be a 32-bit number (decimal or 0x...), not '0x1FFFFFFFF'",
              errorOf("message X-Plane 0x1FFFFFFFF"));
    EXPECT_EQ("1: unterminated quote", errorOf("note \"half"));
    EXPECT_EQ("1: expected: simulator 11.40|12, not '10'", errorOf("simulator 10"));
}

TEST(ScenarioParse, AircraftFromAFolderWithOrWithoutItsOwnLayout) {
    Scenario s = parse(
        "aircraft \"Twin Jet\" layout \"${BIP_LAYOUTS}/twin-jet.xml\"\n"
        "aircraft Trainer\n"
        "aircraft /sim/Aircraft/Jet\n"
        "aircraft B737-800X acf b738.acf layout x.xml\n"
        "expect command laminar/B738/autopilot/heading_up 3\n");
    ASSERT_TRUE(s.errors.empty()) << s.errors[0].message;
    ASSERT_EQ(5u, s.steps.size());
    EXPECT_EQ("b738.acf", s.steps[3].acf);
    EXPECT_EQ("x.xml", s.steps[3].text);
    EXPECT_EQ("", s.steps[0].acf);
    EXPECT_EQ(Check::CommandCount, s.steps[4].check);
    EXPECT_EQ(3, s.steps[4].count);
    EXPECT_EQ(Action::LoadAircraft, s.steps[0].action);
    EXPECT_EQ("Twin Jet", s.steps[0].word);
    EXPECT_EQ("/opt/layouts/twin-jet.xml", s.steps[0].text);
    EXPECT_EQ("Trainer", s.steps[1].word);
    EXPECT_EQ("", s.steps[1].text);
    EXPECT_EQ("", s.steps[2].word);
    EXPECT_EQ("/sim/Aircraft/Jet", s.steps[2].path);

    EXPECT_EQ("1: expected: aircraft NAME [layout FILE] [acf FILE] | aircraft FOLDER", errorOf("aircraft"));
    EXPECT_EQ("1: expected: aircraft NAME [layout FILE] [acf FILE] | aircraft FOLDER",
              errorOf("aircraft Jet with x.xml"));
    EXPECT_EQ("1: the acf FILE is a name, not a path", errorOf("aircraft Jet acf /x/b738.acf"));
    EXPECT_EQ("1: a layout is copied only into a folder the simulator makes: give a NAME, not a folder",
              errorOf("aircraft /sim/Jet layout x.xml"));
    EXPECT_EQ("1: an aircraft needs a name or a folder", errorOf("aircraft .."));
}

TEST(ScenarioParse, EveryBadLineIsReportedAndNoStepIsLost) {
    Scenario s = parse(
        "enable\n"
        "multi selector up\n"
        "# fine\n"
        "wait 100\n"
        "wait soon\n"
        "radio1 turn upper fine\n");
    ASSERT_EQ(3u, s.errors.size());
    EXPECT_EQ(2, s.errors[0].line);
    EXPECT_EQ(5, s.errors[1].line);
    EXPECT_EQ(6, s.errors[2].line);
    EXPECT_EQ(2u, s.steps.size());
}

TEST(ScenarioParse, TheBuiltInScenarioIsValid) {
    Scenario s = parse(defaultScenario());
    ASSERT_TRUE(s.errors.empty()) << s.errors[0].line << ": " << s.errors[0].message;
    EXPECT_GT(s.steps.size(), 50u);
    EXPECT_TRUE(s.hasEnable);
}

}  // namespace
}  // namespace sim
}  // namespace hostsim
