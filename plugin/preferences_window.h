// The "Drovanel Preferences" window: the rotary-event settings of the Multi
// Panel and both Radio Panels, the Multi Panel's AP flash option and the
// BIP's configuration file. Nothing reaches a panel until "OK". Everything
// here runs on the host's thread.
#ifndef DROVANEL_PLUGIN_PREFERENCES_WINDOW_H
#define DROVANEL_PLUGIN_PREFERENCES_WINDOW_H

#include <cstdint>

#include "XPWidgetDefs.h"
#include "panel_registry.h"

namespace drovanel {

class PreferencesWindow {
public:
    // The widgets are made on the first open(). At most one window exists:
    // the button callbacks find it through a single instance pointer.
    PreferencesWindow();
    // Destroys the root widget with all its children.
    ~PreferencesWindow();

    PreferencesWindow(const PreferencesWindow &) = delete;
    PreferencesWindow &operator=(const PreferencesWindow &) = delete;

    // Creates the widgets if needed, fills each section from the panel in
    // the registry (disabling sections without one), shows the window and
    // brings it to the front. Opening a shown window refreshes it.
    void open();

    // Rewrites the enabled rotary sections' fields as bounded decimal numbers.
    void normalizeFields();

    // Button callbacks: act on xpMsg_PushButtonPressed only.
    static int onDefault(XPWidgetMessage message, XPWidgetID widget, intptr_t param1, intptr_t param2);
    static int onOk(XPWidgetMessage message, XPWidgetID widget, intptr_t param1, intptr_t param2);
    static int onCancel(XPWidgetMessage message, XPWidgetID widget, intptr_t param1, intptr_t param2);

    XPWidgetID rootWidget() const { return root; }

private:
    struct RotarySection {
        PanelSlot slot;
        XPWidgetID repeatField;
        XPWidgetID changeField;
        XPWidgetID coalescenceField;
    };
    enum { kMultiSection = 0, kRadio1Section, kRadio2Section, kRotarySectionCount };

    void create();
    XPWidgetID createRow(int y, int fieldRight, const char *caption, int fieldClass, const char *fieldText);
    void fillRotarySection(const RotarySection &section, AbstractPanel *panel);
    void fillConfigField(AbstractPanel *bip);
    void applyRotarySection(const RotarySection &section, AbstractPanel *panel);
    void setRotaryTexts(const RotarySection &section, std::uint32_t coalescence, std::uint32_t repeat,
                        std::uint32_t change);
    bool sectionEnabled(const RotarySection &section) const;

    void fillDefaults();
    void applyAndHide();
    void hide();

    // Handles in the order the window uses them.
    XPWidgetID root = nullptr;
    RotarySection sections[kRotarySectionCount] = {
        {PanelSlot::Multipanel, nullptr, nullptr, nullptr},
        {PanelSlot::Radiopanel1, nullptr, nullptr, nullptr},
        {PanelSlot::Radiopanel2, nullptr, nullptr, nullptr},
    };
    XPWidgetID apFlashCheckBox = nullptr;
    XPWidgetID configFileField = nullptr;
    XPWidgetID defaultButton = nullptr;
    XPWidgetID okButton = nullptr;
    XPWidgetID cancelButton = nullptr;

    static PreferencesWindow *instance;
};

}  // namespace drovanel

#endif
