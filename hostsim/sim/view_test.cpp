#include "hostsim/sim/view.h"

#include <gtest/gtest.h>

namespace hostsim {
namespace sim {
namespace {

PanelSnapshot panel(const std::string &name, PanelKind kind, std::vector<std::uint8_t> display) {
    PanelSnapshot p;
    p.name = name;
    p.kind = kind;
    p.display = std::move(display);
    return p;
}

TEST(CockpitView, PlainFrameShowsWhatEachPanelWasSent) {
    Snapshot s;
    s.progress = "step 2/9, line 4: multi turn up";
    s.note = "Dial a heading";
    // Multi Panel: 35000 over -1500, AP and ALT lit.
    s.panels.push_back(panel("multi", PanelKind::Multi,
                             {0x00, 0x03, 0x05, 0x00, 0x00, 0x00, 0xEE, 0x01, 0x05, 0x00, 0x00, 0x11, 0x00}));
    std::vector<std::uint8_t> radio(23, 0xFF);
    radio[0] = 0x00;
    const std::uint8_t com[] = {0x01, 0x02, 0xD3, 0x04, 0x05};  // 123.45
    for (int i = 0; i < 5; ++i) radio[1 + i] = com[i];
    s.panels.push_back(panel("radio1", PanelKind::Radio, radio));
    s.panels.push_back(panel("switch", PanelKind::Switch, {0x00, 0x01 | 0x10}));
    PanelSnapshot bip = panel("bip", PanelKind::Bip, {0xB8, 0x00, 0x01, 0x00, 0x01, 0x01, 0x00});
    bip.brightness = {0xB2, 100};
    s.panels.push_back(bip);
    PanelSnapshot gone = panel("radio2", PanelKind::Radio, {});
    gone.attached = false;
    s.panels.push_back(gone);
    s.log = {"Drovanel : x737plugin setup"};

    EXPECT_EQ(
        "Drovanel virtual cockpit  step 2/9, line 4: multi turn up\n"
        "  Dial a heading\n"
        "Multi Panel (multi)      [35000] [-1500]  lamps: AP ALT\n"
        "Radio Panel (radio1)     [123.45] [     ]\n"
        "                         [     ] [     ]\n"
        "Switch Panel (switch)    gear 1 down, 2 in transit, 3 off\n"
        "BIP (bip)                R - - - - - - -   brightness 100%\n"
        "                         A - - - - - - -\n"
        "                         - - - - - - - -\n"
        "Radio Panel (radio2)     (unplugged)\n"
        "log: Drovanel : x737plugin setup\n"
        "\n",
        plainFrame(s));
}

TEST(CockpitView, DarkAndSilentPanelsSaySo) {
    Snapshot s;
    std::vector<std::uint8_t> dark(13, 0x0F);
    dark[0] = 0x00;
    dark[11] = 0x00;
    s.panels.push_back(panel("multi", PanelKind::Multi, dark));
    s.panels.push_back(panel("switch", PanelKind::Switch, {}));
    s.panels.push_back(panel("bip", PanelKind::Bip, {0xB2, 50}));  // a brightness report is no lamp report
    const std::vector<std::string> lines = renderLines(s, false);
    ASSERT_EQ(4u, lines.size());
    EXPECT_EQ("Multi Panel (multi)      [     ] [     ]  dark", lines[1]);
    EXPECT_EQ("Switch Panel (switch)    (no lamp report yet)", lines[2]);
    EXPECT_EQ("BIP (bip)                (no lamp report yet)", lines[3]);
}

TEST(CockpitView, TerminalFrameColoursLitLampsAndRedrawsInPlace) {
    Snapshot s;
    s.panels.push_back(panel("bip", PanelKind::Bip, {0xB8, 0x01, 0x00, 0x00, 0x02, 0x00, 0x00}));
    const std::string frame = terminalFrame(s);
    EXPECT_EQ(0u, frame.find("\x1b[H"));
    EXPECT_NE(std::string::npos, frame.find("\x1b[1;32m##"));  // lens 0 green
    EXPECT_NE(std::string::npos, frame.find("\x1b[1;31m##"));  // lens 1 red
    EXPECT_EQ(frame.size() - 3, frame.rfind("\x1b[J"));
}

}  // namespace
}  // namespace sim
}  // namespace hostsim
