// The profile loader: what each element binds, and every kind of mistake
// refused with its line.
#include "profile_loader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace drovanel {
namespace profile {
namespace {

// Parses a profile whose body starts on line 2.
bool parse(const std::string &body, Profile *out, std::vector<Problem> *problems) {
    TiXmlDocument xml;
    const std::string text = "<DrovanelProfile>\n" + body + "</DrovanelProfile>\n";
    xml.Parse(text.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
    EXPECT_FALSE(xml.Error()) << text;
    return parseProfile(xml, out, problems);
}

std::string firstProblem(const std::string &body) {
    Profile p;
    std::vector<Problem> problems;
    if (parse(body, &p, &problems)) return "accepted";
    return describe(problems.front());
}

TEST(ProfileLoader, EveryElementBindsItsControl) {
    Profile p;
    std::vector<Problem> problems;
    ASSERT_TRUE(parse(R"(<Match Acf="b738.acf" Command="a/b"/>
<Multipanel>
  <Knob Selector="hdg" Up="a/up" Down="a/dn"/>
  <Knob Selector="ALT" Dataref="a/alt" Step="100" Min="0" Max="50000" Wrap="yes"/>
  <Display Selector="CRS" Dataref="a/crs" Index="2" Scale="0.5"/>
  <Mach Dataref="a/mach" Above="0.5"/>
  <Button Name="AP" Command="a/ap"/>
  <Button Name="REV" Dataref="a/rev" Value="3" Index="1"/>
  <Lamp Name="APR" Dataref="a/app" Equals="2"/>
  <Autothrottle Toggle="a/at" State="a/at_pos"/>
  <Flaps Position="Down" Command="a/flaps" Hold="yes"/>
  <Trim Do="Nothing"/>
</Multipanel>
<Switchpanel>
  <Switch Name="Beacon" Position="On" Command="a/beacon_on"/>
  <Magneto Do="nothing"/>
  <Gear Position="Up" Command="a/gear_up"/>
  <GearLamp Lamp="3" Colour="Red" Dataref="a/transit" Below="1"/>
</Switchpanel>
<Radiopanel><Radio Selector="COM1" Active="a/c1" Standby="a/c1s" Swap="a/swap" FineUp="a/fu"/></Radiopanel>
<Bip><Lens Number="23" Colour="amber" Dataref="a/caution"><Flash On="100" Off="30000"/></Lens></Bip>
)",
                      &p, &problems))
        << describe(problems.front());
    EXPECT_EQ(p.match.acf, "b738.acf");
    EXPECT_EQ(p.match.command.name, "a/b");
    EXPECT_EQ(p.multi.knobs[kSelHdg].up.name, "a/up");
    const Knob &alt = p.multi.knobs[kSelAlt];
    EXPECT_TRUE(alt.bound && alt.wrap);
    EXPECT_EQ(alt.value.ref.name, "a/alt");
    EXPECT_FLOAT_EQ(alt.maximum, 50000.0f);
    EXPECT_EQ(p.multi.displays[kSelCrs].value.index, 2);
    EXPECT_FLOAT_EQ(p.multi.displays[kSelCrs].value.scale, 0.5f);
    EXPECT_EQ(p.multi.mach.compare, Compare::Above);
    EXPECT_EQ(p.multi.buttons[kBtnAp].kind, ActionKind::Command);
    EXPECT_EQ(p.multi.buttons[kBtnRev].kind, ActionKind::Write);
    EXPECT_EQ(p.multi.buttons[kBtnRev].target.index, 1);
    EXPECT_FLOAT_EQ(p.multi.buttons[kBtnRev].value, 3.0f);
    EXPECT_EQ(p.multi.lamps[kBtnApr].compare, Compare::Equals);
    // Without a position a toggle covers both; each asks for its own state.
    EXPECT_EQ(p.multi.autothrottle[0].kind, ActionKind::Toggle);
    EXPECT_FALSE(p.multi.autothrottle[0].wanted);
    EXPECT_TRUE(p.multi.autothrottle[1].wanted);
    EXPECT_EQ(p.multi.flaps[0].kind, ActionKind::Unbound);
    EXPECT_EQ(p.multi.flaps[1].kind, ActionKind::Hold);
    EXPECT_EQ(p.multi.trim[0].kind, ActionKind::Nothing);
    EXPECT_EQ(p.switches.switches[kSwBeacon][1].kind, ActionKind::Command);
    EXPECT_EQ(p.switches.switches[kSwBeacon][0].kind, ActionKind::Unbound);
    for (const Action &a : p.switches.magneto) EXPECT_EQ(a.kind, ActionKind::Nothing);
    EXPECT_EQ(p.switches.gear[0].command.name, "a/gear_up");
    EXPECT_TRUE(p.switches.gearLamps[kLamp3Red].bound);
    EXPECT_TRUE(p.radio.radios[kRadCom1].bound);
    EXPECT_EQ(p.radio.radios[kRadCom1].swap.name, "a/swap");
    const LensBinding &lens = p.bip.lenses[23];
    EXPECT_TRUE(lens.condition.bound);
    EXPECT_EQ(lens.colour, kLensAmber);
    EXPECT_EQ(lens.flashOn, 200u);  // the flash limits of BIP layouts
    EXPECT_EQ(lens.flashOff, 20000u);
}

struct Refusal {
    const char *body;
    const char *problem;
};

const Refusal kRefusals[] = {
    {"<Multipanel/>\n<Panel/>\n", "line 3: <Panel> is not part of a profile"},
    {"<Multipanel><Knob Selector=\"SPD\" Up=\"a\" Down=\"b\"/></Multipanel>\n",
     "line 2: Selector=\"SPD\" is not one of the panel's"},
    {"<Multipanel>\n<Knob Selector=\"HDG\" Up=\"a\"/></Multipanel>\n", "line 3: <Knob> needs Down"},
    {"<Multipanel><Knob Selector=\"HDG\" Up=\"a\" Down=\"b\" Dataref=\"c\"/></Multipanel>\n",
     "line 2: <Knob> needs either Up and Down commands or a Dataref to step"},
    {"<Multipanel><Knob Selector=\"ALT\" Dataref=\"a\" Step=\"0\" Min=\"0\" Max=\"1\"/></Multipanel>\n",
     "line 2: <Knob> needs Step above 0 and Min below Max"},
    {"<Multipanel><Knob Selector=\"ALT\" Dataref=\"a\" Step=\"1x\" Min=\"0\" Max=\"1\"/></Multipanel>\n",
     "line 2: Step=\"1x\" is not a number"},
    {"<Multipanel><Button Name=\"AP\" Comand=\"a\"/></Multipanel>\n", "line 2: <Button> has no attribute Comand"},
    {"<Multipanel><Button Name=\"AP\" Command=\"a\" Do=\"Nothing\"/></Multipanel>\n",
     "line 2: <Button> needs exactly one of Command, Toggle, Dataref and Do"},
    {"<Multipanel><Button Name=\"AP\" Toggle=\"a\" State=\"b\"/></Multipanel>\n",
     "line 2: Toggle needs a control with On and Off positions"},
    {"<Multipanel><Button Name=\"AP\" Dataref=\"a\"/></Multipanel>\n", "line 2: <Button> needs Value"},
    {"<Multipanel><Button Name=\"AP\" Command=\"a b\"/></Multipanel>\n",
     "line 2: Command=\"a b\" is not a command name"},
    {"<Multipanel>\n<Button Name=\"AP\" Command=\"a\"/>\n<Button Name=\"ap\" Command=\"b\"/></Multipanel>\n",
     "line 4: the button at AP is bound twice, first at line 3"},
    {"<Multipanel><Lamp Name=\"AP\" Dataref=\"a\" Above=\"1\" Below=\"2\"/></Multipanel>\n",
     "line 2: <Lamp> compares more than once"},
    {"<Multipanel><Autothrottle Toggle=\"a\"/></Multipanel>\n", "line 2: <Autothrottle> needs State"},
    {"<Switchpanel><Switch Name=\"Beacon\" Position=\"Middle\" Command=\"a\"/></Switchpanel>\n",
     "line 2: <Switch> has no position Middle"},
    {"<Switchpanel><Magneto Do=\"Everything\"/></Switchpanel>\n", "line 2: Do=\"Everything\" is not Nothing"},
    {"<Switchpanel><Magneto Position=\"Start\" Command=\"a\" Hold=\"maybe\"/></Switchpanel>\n",
     "line 2: Hold=\"maybe\" is neither yes nor no"},
    {"<Switchpanel>\n<Magneto Do=\"Nothing\"/>\n<Magneto Position=\"Off\" Command=\"a\"/></Switchpanel>\n",
     "line 4: Magneto at Off is bound twice, first at line 3"},
    {"<Switchpanel><GearLamp Lamp=\"4\" Colour=\"Green\" Dataref=\"a\"/></Switchpanel>\n",
     "line 2: Lamp=\"4\" is not a whole number from 1 to 3"},
    {"<Switchpanel><GearLamp Lamp=\"1\" Colour=\"Blue\" Dataref=\"a\"/></Switchpanel>\n",
     "line 2: Colour=\"Blue\" is neither Green nor Red"},
    {"<Bip><Lens Number=\"24\" Colour=\"Red\" Dataref=\"a\"/></Bip>\n",
     "line 2: Number=\"24\" is not a whole number from 0 to 23"},
    {"<Bip><Lens Number=\"1\" Colour=\"Pink\" Dataref=\"a\"/></Bip>\n",
     "line 2: Colour=\"Pink\" is not Red, Green or Amber"},
    {"<Bip><Lens Number=\"1\" Colour=\"Red\"/></Bip>\n", "line 2: <Lens> needs Dataref"},
    {"<Bip><Lens Number=\"1\" Colour=\"Red\" Dataref=\"a\" Index=\"-1\"/></Bip>\n",
     "line 2: Index=\"-1\" is not a whole number from 0 to 65535"},
    {"<Bip><Lens Number=\"1\" Colour=\"Red\" Dataref=\"a\">\n<Flash On=\"1\"/></Lens></Bip>\n",
     "line 3: <Flash> needs Off"},
    {"<Radiopanel><Radio Selector=\"HF\"/></Radiopanel>\n", "line 2: Selector=\"HF\" is not one of the panel's"},
    {"<Match Acf=\"b738.acf\"/>\n", "line 2: <Match> needs one Dataref or one Command that the aircraft publishes"},
    {"<Match Acf=\"b738.acf\" Dataref=\"a\"/>\n<Match Acf=\"b738.acf\" Dataref=\"a\"/>\n",
     "line 3: <Match> is bound twice, first at line 2"},
};

TEST(ProfileLoader, MistakesAreRefusedWithTheirLine) {
    for (const Refusal &r : kRefusals) EXPECT_EQ(firstProblem(r.body), r.problem) << r.body;
}

TEST(ProfileLoader, FilesThatCannotBeProfiles) {
    TiXmlDocument xml;
    xml.Parse("<Bip>\n</Bip>\n", nullptr, TIXML_DEFAULT_ENCODING);
    Profile p;
    std::vector<Problem> problems;
    EXPECT_FALSE(parseProfile(xml, &p, &problems));
    EXPECT_EQ(describe(problems.front()), "line 1: the root element is not <DrovanelProfile>");

    const std::string path = testing::TempDir() + "profile_loader_test.xml";
    std::ofstream(path) << "<DrovanelProfile>\n<Bip>\n</DrovanelProfile>\n";
    EXPECT_FALSE(readProfile(path, &p, &problems));
    EXPECT_EQ(problems.front().line, 3);
    EXPECT_NE(problems.front().text.find("not well-formed XML at line 3"), std::string::npos) << problems.front().text;
    EXPECT_EQ(p.path, path);
    std::remove(path.c_str());

    EXPECT_FALSE(readProfile(path, &p, &problems));
    EXPECT_EQ(problems.front().line, 0);
    EXPECT_EQ(problems.front().text.rfind("the file cannot be opened", 0), 0u) << problems.front().text;
}

}  // namespace
}  // namespace profile
}  // namespace drovanel
