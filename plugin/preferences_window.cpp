#include "preferences_window.h"

#include <string>
#include <vector>

#include "XPStandardWidgets.h"
#include "XPWidgets.h"
#include "bip/backlit_information_panel.h"
#include "multipanel/multipanel.h"
#include "plugin_core.h"
#include "preferences_fields.h"

namespace drovanel {

namespace {

// The layout below is drawn with the window's bottom left corner at 0, 0;
// every widget is created already shifted to where the window opens. Whether
// moving a root widget also moves its children is not something to lean on.
constexpr int kWindowLeft = 312;
constexpr int kWindowBottom = 184;

constexpr int kCaptionLeft = 20;
constexpr int kCaptionRight = 170;
constexpr int kFieldLeft = 175;
constexpr int kNumberFieldRight = 225;
constexpr int kPathFieldRight = 375;
constexpr int kRowHeight = 10;

XPWidgetID createChild(int left, int top, int right, int bottom, const char *text, XPWidgetID container,
                       XPWidgetClass widgetClass) {
    return XPCreateWidget(left + kWindowLeft, top + kWindowBottom, right + kWindowLeft, bottom + kWindowBottom, 1,
                          text, 0, container, widgetClass);
}

bool widgetEnabled(XPWidgetID widget) {
    int exists = 0;
    intptr_t value = XPGetWidgetProperty(widget, xpProperty_Enabled, &exists);
    return exists == 0 || value != 0;  // the toolkit's widgets start enabled
}

void setEnabled(XPWidgetID widget, bool enabled) { XPSetWidgetProperty(widget, xpProperty_Enabled, enabled ? 1 : 0); }

bool checkBoxTicked(XPWidgetID box) { return XPGetWidgetProperty(box, xpProperty_ButtonState, nullptr) != 0; }

void setCheckBox(XPWidgetID box, bool ticked) { XPSetWidgetProperty(box, xpProperty_ButtonState, ticked ? 1 : 0); }

// A widget's whole text, however long.
std::string widgetText(XPWidgetID widget) {
    // The toolkit reports the full length and does not terminate a copy it
    // had to cut, so ask for the length first and terminate here.
    int length = XPGetWidgetDescriptor(widget, nullptr, 0);
    if (length <= 0) return std::string();
    std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
    XPGetWidgetDescriptor(widget, text.data(), length + 1);
    text[static_cast<std::size_t>(length)] = '\0';
    return std::string(text.data());
}

void setNumber(XPWidgetID field, std::uint32_t value) {
    XPSetWidgetDescriptor(field, formatNumber(value).c_str());
}

std::uint32_t readNumber(XPWidgetID field, std::uint32_t bound) {
    return parseBoundedNumber(widgetText(field).c_str(), bound);
}

}  // namespace

PreferencesWindow *PreferencesWindow::instance = nullptr;

PreferencesWindow::PreferencesWindow() { instance = this; }

PreferencesWindow::~PreferencesWindow() {
    if (root != nullptr) XPDestroyWidget(root, 1);
    if (instance == this) instance = nullptr;
}

XPWidgetID PreferencesWindow::createRow(int y, int fieldRight, const char *caption, int fieldClass,
                                        const char *fieldText) {
    createChild(kCaptionLeft, y + kRowHeight, kCaptionRight, y, caption, root, xpWidgetClass_Caption);
    return createChild(kFieldLeft, y + kRowHeight, fieldRight, y, fieldText, root, fieldClass);
}

void PreferencesWindow::create() {
    root = XPCreateWidget(kWindowLeft, 490 + kWindowBottom, 400 + kWindowLeft, kWindowBottom, 1,
                          "Drovanel Preferences", 1, nullptr, xpWidgetClass_MainWindow);
    XPSetWidgetProperty(root, xpProperty_MainWindowHasCloseBoxes, 0);

    createChild(10, 470, 390, 360, "Multipanel", root, xpWidgetClass_SubWindow);
    createChild(10, 350, 390, 260, "Radiopanel #1", root, xpWidgetClass_SubWindow);
    createChild(10, 250, 390, 160, "Radiopanel #2", root, xpWidgetClass_SubWindow);
    createChild(10, 150, 390, 60, "Backlit Information Panel", root, xpWidgetClass_SubWindow);

    // Each rotary section: a heading 20 above its first row, then rows 20 apart.
    static const char *const kHeadings[kRotarySectionCount] = {"Multipanel Rotary Switch Events",
                                                               "Radiopanel #1 Rotary Switch Events",
                                                               "Radiopanel #2 Rotary Switch Events"};
    static const int kFirstRow[kRotarySectionCount] = {430, 310, 210};
    for (int i = 0; i < kRotarySectionCount; ++i) {
        RotarySection &section = sections[i];
        int y = kFirstRow[i];
        createChild(kCaptionLeft, y + 30, 175, y + 20, kHeadings[i], root, xpWidgetClass_Caption);
        section.coalescenceField =
            createRow(y, kNumberFieldRight, "Coalescence Time [ms]", xpWidgetClass_TextField, "0");
        section.repeatField = createRow(y - 20, kNumberFieldRight, "Repeat Threshold", xpWidgetClass_TextField, "0");
        section.changeField = createRow(y - 40, kNumberFieldRight, "Change Threshold", xpWidgetClass_TextField, "0");
        if (i == kMultiSection) {
            apFlashCheckBox = createRow(370, kNumberFieldRight, "AP flashes in FD mode", xpWidgetClass_Button, "");
            XPSetWidgetProperty(apFlashCheckBox, xpProperty_ButtonType, xpRadioButton);
            XPSetWidgetProperty(apFlashCheckBox, xpProperty_ButtonBehavior, xpButtonBehaviorCheckBox);
            XPSetWidgetProperty(apFlashCheckBox, xpProperty_ButtonState, 0);
        }
    }

    createChild(kCaptionLeft, 140, 175, 130, "Backlit Information Panel Lenses", root, xpWidgetClass_Caption);
    configFileField = createRow(110, kPathFieldRight, "Configuration File", xpWidgetClass_TextField, "");

    defaultButton = createChild(45, 20, 145, 10, "Default", root, xpWidgetClass_Button);
    okButton = createChild(150, 20, 250, 10, "OK", root, xpWidgetClass_Button);
    cancelButton = createChild(255, 20, 355, 10, "Cancel", root, xpWidgetClass_Button);
    for (XPWidgetID button : {defaultButton, okButton, cancelButton}) {
        XPSetWidgetProperty(button, xpProperty_ButtonType, xpPushButton);
    }

    XPAddWidgetCallback(okButton, onOk);
    XPAddWidgetCallback(defaultButton, onDefault);
    XPAddWidgetCallback(cancelButton, onCancel);
}

void PreferencesWindow::open() {
    if (root == nullptr) create();
    for (const RotarySection &section : sections) fillRotarySection(section, panelInSlot(section.slot));
    fillConfigField(panelInSlot(PanelSlot::Bip));
    XPShowWidget(root);
    XPBringRootWidgetToFront(root);
}

// A section without its panel is disabled and keeps whatever text it had.
void PreferencesWindow::fillRotarySection(const RotarySection &section, AbstractPanel *panel) {
    bool present = panel != nullptr;
    bool multi = section.slot == PanelSlot::Multipanel;
    for (XPWidgetID field : {section.repeatField, section.changeField, section.coalescenceField}) {
        setEnabled(field, present);
    }
    if (multi) setEnabled(apFlashCheckBox, present);
    if (!present) return;
    setRotaryTexts(section, panel->coalescenceTime(), panel->repeatThreshold(), panel->changeThreshold());
    if (multi) setCheckBox(apFlashCheckBox, panel->settingByte(kApFlashInFdModeOffset) != 0);
}

void PreferencesWindow::fillConfigField(AbstractPanel *bip) {
    setEnabled(configFileField, bip != nullptr);
    if (bip == nullptr) return;
    std::size_t length = shownConfigNameLength(bip->settingByte(kConfigNameLengthHighOffset),
                                               bip->settingByte(kConfigNameLengthLowOffset));
    std::string name(length, '\0');
    for (std::size_t i = 0; i < length; ++i) name[i] = static_cast<char>(bip->settingByte(kConfigNameOffset + i));
    XPSetWidgetDescriptor(configFileField, name.c_str());
}

void PreferencesWindow::setRotaryTexts(const RotarySection &section, std::uint32_t coalescence,
                                       std::uint32_t repeat, std::uint32_t change) {
    setNumber(section.coalescenceField, coalescence);
    setNumber(section.repeatField, repeat);
    setNumber(section.changeField, change);
}

bool PreferencesWindow::sectionEnabled(const RotarySection &section) const {
    return widgetEnabled(section.changeField);
}

void PreferencesWindow::normalizeFields() {
    if (root == nullptr) return;
    for (const RotarySection &section : sections) {
        if (!sectionEnabled(section)) continue;
        setRotaryTexts(section, readNumber(section.coalescenceField, kMaxCoalescenceTime),
                       readNumber(section.repeatField, kMaxThreshold),
                       readNumber(section.changeField, kMaxThreshold));
        if (section.slot == PanelSlot::Multipanel) setCheckBox(apFlashCheckBox, checkBoxTicked(apFlashCheckBox));
    }
}

void PreferencesWindow::applyRotarySection(const RotarySection &section, AbstractPanel *panel) {
    RotarySettings settings{readNumber(section.coalescenceField, kMaxCoalescenceTime),
                            readNumber(section.repeatField, kMaxThreshold),
                            readNumber(section.changeField, kMaxThreshold)};
    std::uint8_t bytes[4];
    encodeRotarySettings(settings, bytes);
    panel->setSettingByte(kCoalescenceHighOffset, bytes[0]);
    panel->setSettingByte(kCoalescenceLowOffset, bytes[1]);
    panel->setSettingByte(kRepeatThresholdOffset, bytes[2]);
    panel->setSettingByte(kChangeThresholdOffset, bytes[3]);
    if (section.slot == PanelSlot::Multipanel) {
        panel->setSettingByte(kApFlashInFdModeOffset, checkBoxTicked(apFlashCheckBox) ? 1 : 0);
    }
}

void PreferencesWindow::fillDefaults() {
    for (const RotarySection &section : sections) {
        setRotaryTexts(section, kDefaultCoalescenceTime, kDefaultRepeatThreshold, kDefaultChangeThreshold);
    }
    setCheckBox(apFlashCheckBox, false);
}

// A section applies only while both its panel and its fields are there: a
// section that was disabled when the window was filled holds no values of
// the panel that has since appeared, and must not overwrite its settings.
void PreferencesWindow::applyAndHide() {
    normalizeFields();
    for (const RotarySection &section : sections) {
        AbstractPanel *panel = panelInSlot(section.slot);
        if (panel != nullptr && sectionEnabled(section)) applyRotarySection(section, panel);
    }
    // The BIP reads its configuration again on every "OK", changed or not.
    auto *bip = dynamic_cast<BacklitInformationPanel *>(panelInSlot(PanelSlot::Bip));
    if (bip != nullptr && widgetEnabled(configFileField)) {
        bip->setConfigurationFile(widgetText(configFileField).c_str());
    }
    hide();
}

void PreferencesWindow::hide() { XPHideWidget(root); }

int PreferencesWindow::onDefault(XPWidgetMessage message, XPWidgetID, intptr_t, intptr_t) {
    if (message != xpMsg_PushButtonPressed) return 0;
    if (instance != nullptr && instance->root != nullptr) instance->fillDefaults();
    return 1;
}

int PreferencesWindow::onOk(XPWidgetMessage message, XPWidgetID, intptr_t, intptr_t) {
    if (message != xpMsg_PushButtonPressed) return 0;
    if (instance != nullptr && instance->root != nullptr) instance->applyAndHide();
    return 1;
}

int PreferencesWindow::onCancel(XPWidgetMessage message, XPWidgetID, intptr_t, intptr_t) {
    if (message != xpMsg_PushButtonPressed) return 0;
    if (instance != nullptr && instance->root != nullptr) instance->hide();
    return 1;
}

}  // namespace drovanel
