// Standard widget classes and their properties and messages.
#ifndef DROVANEL_SDK_XPSTANDARDWIDGETS_H
#define DROVANEL_SDK_XPSTANDARDWIDGETS_H

#include "XPWidgetDefs.h"

#ifdef __cplusplus
extern "C" {
#endif

enum {
    xpWidgetClass_MainWindow = 1,
    xpWidgetClass_SubWindow = 2,
    xpWidgetClass_Button = 3,
    xpWidgetClass_TextField = 4,
    xpWidgetClass_ScrollBar = 5,
    xpWidgetClass_Caption = 6
};

enum {
    xpProperty_MainWindowType = 1100,
    xpProperty_MainWindowHasCloseBoxes = 1200,
    xpMessage_CloseButtonPushed = 1200
};

enum {
    xpPushButton = 0,
    xpRadioButton = 1,
    xpWindowCloseBox = 3,
    xpLittleDownArrow = 5,
    xpLittleUpArrow = 6
};

enum {
    xpButtonBehaviorPushButton = 0,
    xpButtonBehaviorCheckBox = 1,
    xpButtonBehaviorRadioButton = 2
};

enum {
    xpProperty_ButtonType = 1300,
    xpProperty_ButtonBehavior = 1301,
    xpProperty_ButtonState = 1302
};

enum {
    xpMsg_PushButtonPressed = 1300,
    xpMsg_ButtonStateChanged = 1301
};

enum {
    xpProperty_EditFieldSelStart = 1400,
    xpProperty_EditFieldSelEnd = 1401,
    xpProperty_EditFieldSelDragStart = 1402,
    xpProperty_TextFieldType = 1403,
    xpProperty_PasswordMode = 1404,
    xpProperty_MaxCharacters = 1405,
    xpProperty_ScrollPosition = 1406,
    xpProperty_Font = 1407,
    xpProperty_ActiveEditSide = 1408
};

#ifdef __cplusplus
}
#endif

#endif
