// The skin of every dialog template of the program: background bitmap and
// how it is drawn, static text colour, skin-button faces and, for the main
// window, its frame behaviour. The one table of these facts; the dialogs,
// the gallery and the tests all take their settings from here.
#pragma once
#include "skin_dialog.h"

// Settings of a template of resource.h (IDD_MAIN, IDD_LOGIN, IDD_LANGUAGE,
// IDD_RESTART_WAIT, IDD_INSTALL_PROGRESS, IDD_DRIVE_IN_USE,
// IDD_WIDGET_ENGINE, IDD_MODEL_SELECT, IDD_ABOUT). Any other id gets a
// white-text Stretch dialog without background or buttons. Every result
// names its template (templateId), so a dialog writes its id once.
SkinDialogSettings DialogSkinSettings(UINT templateId);

// The templates that have an entry, in resource-number order.
extern const UINT kSkinnedTemplates[9];
