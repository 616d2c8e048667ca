#include "preferences_window.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <iterator>

#include "XPStandardWidgets.h"
#include "bip/backlit_information_panel.h"
#include "hostsim/hostsim.h"
#include "tests/test_files.h"
#include "multipanel/multipanel.h"
#include "plugin/plugin_core.h"

namespace drovanel {
namespace {

using drovanel::testing_files::readFile;
using drovanel::testing_files::writeTextFile;

using hostsim::PanelKind;
using hostsim::WidgetId;

// Where the window's bottom left corner opens.
constexpr int kDx = 312;
constexpr int kDy = 184;

// A settings file image with bytes 4-7 and extra bytes set.
void writeSettings(const std::string &name, std::initializer_list<std::pair<int, int>> bytes) {
    std::string image(1024, '\0');
    for (auto byte : bytes) image[static_cast<std::size_t>(byte.first)] = static_cast<char>(byte.second);
    writeTextFile(hostsim::prefsFile(name), image);
}

std::string bipLayout(int lens) {
    return "<Bip><BipProgramming><Lense><Assignment>" + std::to_string(lens) +
           "</Assignment><Colour>Red</Colour><Id>MasterWarning</Id></Lense></BipProgramming></Bip>";
}

// The field (or check box) of the row whose bottom is y in the window's own
// layout; rows are found by place because their texts repeat.
WidgetId fieldInRow(int y) {
    for (const auto &w : hostsim::widgets()) {
        if (w.widgetClass != xpWidgetClass_Caption && w.left == 175 + kDx && w.bottom == y + kDy) return w.id;
    }
    return nullptr;
}

std::string textOf(WidgetId id) {
    for (const auto &w : hostsim::widgets()) {
        if (w.id == id) return w.descriptor;
    }
    return "(gone)";
}

std::string rowText(int y) { return textOf(fieldInRow(y)); }

bool isEnabled(WidgetId id) {
    bool exists = false;
    long value = hostsim::widgetProperty(id, xpProperty_Enabled, &exists);
    return !exists || value != 0;
}

bool isShown(WidgetId id) {
    for (const auto &w : hostsim::widgets()) {
        if (w.id == id) return w.visible;
    }
    return false;
}

std::vector<int> rotaryBytes(AbstractPanel *panel) {
    std::vector<int> bytes;
    for (std::size_t i = 4; i < 8; ++i) bytes.push_back(panel->settingByte(i));
    return bytes;
}

// Rows of each rotary section: coalescence, repeat, change.
constexpr int kMultiRows[3] = {430, 410, 390};
constexpr int kRadio1Rows[3] = {310, 290, 270};
constexpr int kRadio2Rows[3] = {210, 190, 170};
constexpr int kApFlashRow = 370;
constexpr int kConfigRow = 110;

class PreferencesWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        hostsim::reset();
        Multipanel::setStartupWait(0);
        char name[256], sig[256], desc[256];
        ASSERT_EQ(pluginStart(kWindowsIdentity, name, sig, desc), 1);
    }
    void TearDown() override {
        pluginDisable();
        pluginStop();
        EXPECT_EQ(hostsim::nullCommandFaults(), 0);
        EXPECT_TRUE(hostsim::offThreadCalls().empty());
    }
    void enableWith(std::initializer_list<PanelKind> kinds) {
        for (PanelKind kind : kinds) hostsim::attach(kind);
        pluginEnable();
    }
    void open() {
        ASSERT_TRUE(hostsim::pickMenuItem("drovanel", "Preferences..."));
        root = hostsim::frontRoot();
        ASSERT_NE(root, nullptr);
    }
    void type(int row, const std::string &text) { ASSERT_TRUE(hostsim::typeInto(fieldInRow(row), text)) << row; }
    void press(const char *button) {
        ASSERT_TRUE(hostsim::pressButton(hostsim::findWidget(button, xpWidgetClass_Button))) << button;
    }
    std::vector<std::string> rowTexts(const int (&rows)[3]) {
        return {rowText(rows[0]), rowText(rows[1]), rowText(rows[2])};
    }
    long apFlashState() { return hostsim::widgetProperty(fieldInRow(kApFlashRow), xpProperty_ButtonState); }

    WidgetId root = nullptr;
};

TEST_F(PreferencesWindowTest, WidgetsAsLaidOutAndDestroyedAtStop) {
    open();
    struct Expected {
        int widgetClass, left, top, right, bottom;
        const char *text;
    };
    const int M = xpWidgetClass_MainWindow, S = xpWidgetClass_SubWindow, B = xpWidgetClass_Button,
              F = xpWidgetClass_TextField, C = xpWidgetClass_Caption;
    const Expected table[] = {
        {M, 0, 490, 400, 0, "Drovanel Preferences"},
        {S, 10, 470, 390, 360, "Multipanel"},
        {S, 10, 350, 390, 260, "Radiopanel #1"},
        {S, 10, 250, 390, 160, "Radiopanel #2"},
        {S, 10, 150, 390, 60, "Backlit Information Panel"},
        {C, 20, 460, 175, 450, "Multipanel Rotary Switch Events"},
        {C, 20, 440, 170, 430, "Coalescence Time [ms]"}, {F, 175, 440, 225, 430, "0"},
        {C, 20, 420, 170, 410, "Repeat Threshold"}, {F, 175, 420, 225, 410, "0"},
        {C, 20, 400, 170, 390, "Change Threshold"}, {F, 175, 400, 225, 390, "0"},
        {C, 20, 380, 170, 370, "AP flashes in FD mode"}, {B, 175, 380, 225, 370, ""},
        {C, 20, 340, 175, 330, "Radiopanel #1 Rotary Switch Events"},
        {C, 20, 320, 170, 310, "Coalescence Time [ms]"}, {F, 175, 320, 225, 310, "0"},
        {C, 20, 300, 170, 290, "Repeat Threshold"}, {F, 175, 300, 225, 290, "0"},
        {C, 20, 280, 170, 270, "Change Threshold"}, {F, 175, 280, 225, 270, "0"},
        {C, 20, 240, 175, 230, "Radiopanel #2 Rotary Switch Events"},
        {C, 20, 220, 170, 210, "Coalescence Time [ms]"}, {F, 175, 220, 225, 210, "0"},
        {C, 20, 200, 170, 190, "Repeat Threshold"}, {F, 175, 200, 225, 190, "0"},
        {C, 20, 180, 170, 170, "Change Threshold"}, {F, 175, 180, 225, 170, "0"},
        {C, 20, 140, 175, 130, "Backlit Information Panel Lenses"},
        {C, 20, 120, 170, 110, "Configuration File"}, {F, 175, 120, 375, 110, ""},
        {B, 45, 20, 145, 10, "Default"},
        {B, 150, 20, 250, 10, "OK"},
        {B, 255, 20, 355, 10, "Cancel"},
    };
    auto widgets = hostsim::widgets();
    ASSERT_EQ(widgets.size(), std::size(table));
    EXPECT_EQ(widgets[0].id, root);
    EXPECT_TRUE(widgets[0].root);
    for (std::size_t i = 0; i < widgets.size(); ++i) {
        const auto &w = widgets[i];
        const Expected &e = table[i];
        SCOPED_TRACE("widget " + std::to_string(i) + " \"" + e.text + "\"");
        EXPECT_EQ(w.widgetClass, e.widgetClass);
        EXPECT_EQ(std::vector<int>({w.left, w.top, w.right, w.bottom}),
                  std::vector<int>({e.left + kDx, e.top + kDy, e.right + kDx, e.bottom + kDy}));
        EXPECT_EQ(w.descriptor, e.text);
        EXPECT_TRUE(w.visible);
        if (i > 0) {
            EXPECT_FALSE(w.root);
            EXPECT_EQ(w.parent, root);
        }
        // No field limits its length.
        EXPECT_EQ(hostsim::widgetProperty(w.id, xpProperty_MaxCharacters), 0);
    }

    bool exists = false;
    EXPECT_EQ(hostsim::widgetProperty(root, xpProperty_MainWindowHasCloseBoxes, &exists), 0);
    EXPECT_TRUE(exists);
    WidgetId box = fieldInRow(kApFlashRow);
    EXPECT_EQ(hostsim::widgetProperty(box, xpProperty_ButtonType), xpRadioButton);
    EXPECT_EQ(hostsim::widgetProperty(box, xpProperty_ButtonBehavior), xpButtonBehaviorCheckBox);
    EXPECT_EQ(hostsim::widgetProperty(box, xpProperty_ButtonState, &exists), 0);
    EXPECT_TRUE(exists);
    for (const char *name : {"Default", "OK", "Cancel"}) {
        EXPECT_EQ(hostsim::widgetProperty(hostsim::findWidget(name, xpWidgetClass_Button), xpProperty_ButtonType,
                                          &exists),
                  xpPushButton);
        EXPECT_TRUE(exists) << name;
    }

    pluginStop();
    EXPECT_TRUE(hostsim::widgets().empty());
}

TEST_F(PreferencesWindowTest, WithoutPanelsEverythingIsDisabledAndOkOnlyHides) {
    open();
    for (int row : {430, 410, 390, 370, 310, 290, 270, 210, 190, 170, 110}) {
        EXPECT_FALSE(isEnabled(fieldInRow(row))) << row;
        EXPECT_FALSE(hostsim::typeInto(fieldInRow(row), "7")) << row;
    }
    EXPECT_FALSE(hostsim::tickCheckBox(fieldInRow(kApFlashRow)));
    std::size_t count = hostsim::widgets().size();
    press("OK");
    EXPECT_FALSE(isShown(root));
    EXPECT_EQ(hostsim::widgets().size(), count);
    EXPECT_EQ(rowTexts(kMultiRows), (std::vector<std::string>{"0", "0", "0"}));
}

TEST_F(PreferencesWindowTest, OpenFillsEachSectionFromItsPanel) {
    writeSettings("Drovanel.Multipanel.prf", {{4, 3}, {5, 235}, {6, 20}, {7, 7}, {64, 1}});
    writeSettings("Drovanel.BacklitInformationPanel.prf", {{64, 0}, {65, 3}, {66, 'a'}, {67, '.'}, {68, 'x'}});
    enableWith({PanelKind::Multi, PanelKind::Radio, PanelKind::Bip});
    open();
    EXPECT_EQ(rowTexts(kMultiRows), (std::vector<std::string>{"1000", "20", "7"}));
    EXPECT_EQ(apFlashState(), 1);
    EXPECT_EQ(rowTexts(kRadio1Rows), (std::vector<std::string>{"250", "10", "5"}));
    EXPECT_EQ(rowText(kConfigRow), "a.x");
    for (int row : {430, 410, 390, 370, 310, 290, 270, 110}) EXPECT_TRUE(isEnabled(fieldInRow(row))) << row;
    for (int row : kRadio2Rows) EXPECT_FALSE(isEnabled(fieldInRow(row))) << row;
    // Default fills every rotary section but the path, and Cancel applies nothing.
    press("Default");
    EXPECT_EQ(rowTexts(kMultiRows), (std::vector<std::string>{"250", "10", "5"}));
    EXPECT_EQ(rowTexts(kRadio2Rows), (std::vector<std::string>{"250", "10", "5"}));
    EXPECT_EQ(apFlashState(), 0);
    EXPECT_EQ(rowText(kConfigRow), "a.x");
    press("Cancel");
    EXPECT_FALSE(isShown(root));
    AbstractPanel *multi = panelInSlot(PanelSlot::Multipanel);
    EXPECT_EQ(rotaryBytes(multi), (std::vector<int>{3, 235, 20, 7}));
    EXPECT_EQ(multi->settingByte(64), 1);
    EXPECT_EQ(rowTexts(kMultiRows), (std::vector<std::string>{"250", "10", "5"})) << "edits stay until reopened";

    // Opening again (hidden or shown) refills from the panels and comes to the front.
    open();
    EXPECT_TRUE(isShown(root));
    EXPECT_EQ(rowTexts(kMultiRows), (std::vector<std::string>{"1000", "20", "7"}));
    type(430, "999");
    open();
    EXPECT_EQ(rowText(430), "1000");
    EXPECT_EQ(hostsim::widgets().size(), 34u) << "no second window";

    // Default then OK stores the defaults.
    press("Default");
    press("OK");
    EXPECT_EQ(rotaryBytes(multi), (std::vector<int>{0, 250, 10, 5}));
    EXPECT_EQ(multi->settingByte(64), 0);
}

TEST_F(PreferencesWindowTest, OkNormalisesStoresAndReachesTheFiles) {
    enableWith({PanelKind::Multi, PanelKind::Radio, PanelKind::Radio});
    open();
    type(430, "1000");
    type(410, "-1");
    type(390, " 7x");
    ASSERT_TRUE(hostsim::tickCheckBox(fieldInRow(kApFlashRow)));
    type(310, "");
    type(290, "300");
    type(270, "abc");
    type(210, "70000");
    type(190, "0");
    type(170, "255");
    press("OK");
    EXPECT_FALSE(isShown(root));
    EXPECT_EQ(rowTexts(kMultiRows), (std::vector<std::string>{"1000", "255", "7"}));
    EXPECT_EQ(rowTexts(kRadio1Rows), (std::vector<std::string>{"0", "255", "0"}));
    EXPECT_EQ(rowTexts(kRadio2Rows), (std::vector<std::string>{"65279", "0", "255"}));

    // The drivers read these bytes on every encoder event, so they act at once.
    AbstractPanel *multi = panelInSlot(PanelSlot::Multipanel);
    AbstractPanel *radio1 = panelInSlot(PanelSlot::Radiopanel1);
    AbstractPanel *radio2 = panelInSlot(PanelSlot::Radiopanel2);
    EXPECT_EQ(rotaryBytes(multi), (std::vector<int>{3, 235, 255, 7}));
    EXPECT_EQ(multi->coalescenceTime(), 1000u);
    EXPECT_EQ(multi->settingByte(64), 1);
    EXPECT_EQ(rotaryBytes(radio1), (std::vector<int>{0, 0, 255, 0}));
    EXPECT_EQ(rotaryBytes(radio2), (std::vector<int>{255, 254, 0, 255}));
    EXPECT_EQ(radio2->coalescenceTime(), 65279u);

    // Unticking clears the option again.
    open();
    ASSERT_TRUE(hostsim::tickCheckBox(fieldInRow(kApFlashRow)));
    press("OK");
    EXPECT_EQ(multi->settingByte(64), 0);

    pluginDisable();
    std::vector<std::uint8_t> file = readFile(hostsim::prefsFile("Drovanel.Multipanel.prf"));
    ASSERT_EQ(file.size(), 1024u);
    EXPECT_EQ(std::vector<int>(file.begin() + 4, file.begin() + 8), (std::vector<int>{3, 235, 255, 7}));
    EXPECT_EQ(file[64], 0);
    file = readFile(hostsim::prefsFile("Drovanel.Radiopanel2.prf"));
    ASSERT_EQ(file.size(), 1024u);
    EXPECT_EQ(std::vector<int>(file.begin() + 4, file.begin() + 8), (std::vector<int>{255, 254, 0, 255}));
}

TEST_F(PreferencesWindowTest, SectionFilledBeforeItsPanelCameDoesNotOverwriteIt) {
    open();  // no panel: every section disabled, showing "0"
    enableWith({PanelKind::Multi, PanelKind::Bip});
    writeTextFile(hostsim::prefsFile("layout.xml"), bipLayout(5));
    auto *bip = dynamic_cast<BacklitInformationPanel *>(panelInSlot(PanelSlot::Bip));
    ASSERT_NE(bip, nullptr);
    bip->setConfigurationFile(hostsim::prefsFile("layout.xml").c_str());
    press("OK");
    EXPECT_EQ(rotaryBytes(panelInSlot(PanelSlot::Multipanel)), (std::vector<int>{0, 250, 10, 5}));
    EXPECT_EQ(bip->configurationFile(), hostsim::prefsFile("layout.xml")) << "the empty field kept out";
}

TEST_F(PreferencesWindowTest, OkHandsTheBipItsPathEveryTime) {
    enableWith({PanelKind::Bip});
    auto *bip = dynamic_cast<BacklitInformationPanel *>(panelInSlot(PanelSlot::Bip));
    ASSERT_NE(bip, nullptr);
    const std::string path = hostsim::prefsFile("layout.xml");
    writeTextFile(path, bipLayout(5));
    open();
    EXPECT_EQ(rowText(kConfigRow), "");
    type(kConfigRow, path);
    press("OK");
    EXPECT_TRUE(bip->lensBound(5));
    EXPECT_EQ(bip->settingByte(64), 0);
    EXPECT_EQ(bip->settingByte(65), path.size());

    // The same path again reads the file again.
    writeTextFile(path, bipLayout(7));
    open();
    EXPECT_EQ(rowText(kConfigRow), path);
    press("OK");
    EXPECT_FALSE(bip->lensBound(5));
    EXPECT_TRUE(bip->lensBound(7));
}

TEST_F(PreferencesWindowTest, DamagedStoredPathIsShownCutAtTheBlockEnd) {
    // Length bytes claiming 65280 characters; the block holds 958 after byte 66.
    std::string image(1024, 'p');
    image[64] = 1;
    image[65] = 0;
    writeTextFile(hostsim::prefsFile("Drovanel.BacklitInformationPanel.prf"), image);
    enableWith({PanelKind::Bip});
    open();
    EXPECT_EQ(rowText(kConfigRow), std::string(1024 - 66, 'p'));
}

// The built plug-in as the simulator loads it: edits made in the window
// survive a disable and enable through the settings files.
TEST(PreferencesWindowPluginTest, EditsSurviveDisableAndEnable) {
    hostsim::reset();
    hostsim::attach(PanelKind::Multi);
    hostsim::attach(PanelKind::Bip);
    hostsim::Plugin plugin;
    std::string error, name, signature, description;
    ASSERT_TRUE(plugin.load(DROVANEL_VIRTUAL_PLUGIN, &error)) << error;
    ASSERT_EQ(plugin.start(&name, &signature, &description), 1);
    ASSERT_EQ(plugin.enable(), 1);
    const std::string path = hostsim::prefsFile("layout.xml");
    writeTextFile(path, bipLayout(5));

    ASSERT_TRUE(hostsim::pickMenuItem("drovanel", "Preferences..."));
    WidgetId root = hostsim::frontRoot();
    ASSERT_NE(root, nullptr);
    ASSERT_TRUE(hostsim::typeInto(fieldInRow(430), "1000"));
    ASSERT_TRUE(hostsim::typeInto(fieldInRow(kConfigRow), path));
    ASSERT_TRUE(hostsim::pressButton(hostsim::findWidget("OK", xpWidgetClass_Button)));
    EXPECT_FALSE(isShown(root));

    plugin.disable();
    std::vector<std::uint8_t> multi = readFile(hostsim::prefsFile("Drovanel.Multipanel.prf"));
    ASSERT_EQ(multi.size(), 1024u);
    EXPECT_EQ(std::vector<int>(multi.begin() + 4, multi.begin() + 8), (std::vector<int>{3, 235, 10, 5}));
    std::vector<std::uint8_t> bip = readFile(hostsim::prefsFile("Drovanel.BacklitInformationPanel.prf"));
    ASSERT_EQ(bip.size(), 1024u);
    EXPECT_EQ(bip[64], 0);
    EXPECT_EQ(bip[65], path.size());
    EXPECT_EQ(std::string(bip.begin() + 66, bip.begin() + 66 + static_cast<long>(path.size())), path);

    ASSERT_EQ(plugin.enable(), 1);
    ASSERT_TRUE(hostsim::pickMenuItem("drovanel", "Preferences..."));
    EXPECT_EQ(hostsim::frontRoot(), root);
    EXPECT_TRUE(isShown(root));
    EXPECT_EQ(rowText(430), "1000");
    EXPECT_EQ(rowText(kConfigRow), path);

    plugin.disable();
    plugin.stop();
    EXPECT_TRUE(hostsim::widgets().empty());
    plugin.unload();
    EXPECT_EQ(hostsim::nullCommandFaults(), 0);
    EXPECT_TRUE(hostsim::offThreadCalls().empty());
}

}  // namespace
}  // namespace drovanel
