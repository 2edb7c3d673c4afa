#include "dialog_skins.h"

#include <iterator>

#include "resource.h"

namespace {

SkinDialogSettings Framed(UINT background, SkinPaintMode mode,
                          std::vector<SkinButtonFaces> buttons = {}) {
  SkinDialogSettings s;
  s.backgroundId = background;
  s.paintMode = mode;
  s.staticTextColor = RGB(255, 255, 255);
  s.buttons = std::move(buttons);
  return s;
}

std::vector<SkinButtonFaces> OkCancel(UINT ok, UINT okActive, UINT cancel, UINT cancelActive) {
  return {{IDOK, ok, okActive, false}, {IDCANCEL, cancel, cancelActive, false}};
}

// The main window's buttons: a disabled button shows its normal face. The
// widget button has no images and keeps the plain face.
const SkinButtonFaces kMainWindowButtons[] = {
    {IDC_REFRESH, IDB_SEARCH, IDB_SEARCH_ACTIVE, true},
    {IDC_MAP, IDB_MAP, IDB_MAP_ACTIVE, true},
    {IDC_UNMAP, IDB_UNMAP, IDB_UNMAP_ACTIVE, true},
    {IDC_APPLY, IDB_APPLY, IDB_APPLY_ACTIVE, true},
    {IDC_WEB, IDB_WEB, IDB_WEB_ACTIVE, true},
    {IDC_EXIT, IDB_EXIT, IDB_EXIT_ACTIVE, true},
    {IDC_ABOUT, IDB_ABOUT, IDB_ABOUT_ACTIVE, true},
    {IDC_LANGUAGE, IDB_LANGUAGE, IDB_LANGUAGE_ACTIVE, true},
    {IDC_BT, IDB_BT, IDB_BT_ACTIVE, true},
    {IDC_MINIMIZE, IDB_MINIMIZE, IDB_MINIMIZE_ACTIVE, true},
    {IDC_CLOSE, IDB_CLOSE, IDB_CLOSE_ACTIVE, true},
    {IDC_WIDGET, 0, 0, true},
};

}  // namespace

const UINT kSkinnedTemplates[9] = {
    IDD_MAIN,
    IDD_LOGIN,
    IDD_LANGUAGE,
    IDD_RESTART_WAIT,
    IDD_INSTALL_PROGRESS,
    IDD_DRIVE_IN_USE,
    IDD_WIDGET_ENGINE,
    IDD_MODEL_SELECT,
    IDD_ABOUT,
};

namespace {

// Everything of a template's settings but the template id.
SkinDialogSettings SettingsOfTemplate(UINT templateId) {
  switch (templateId) {
    case IDD_MAIN: {
      SkinDialogSettings s = Framed(IDB_MAIN_BG, SkinPaintMode::Stretch);
      s.staticTextColor = RGB(0, 0, 0);
      s.clientDrag = true;
      s.roundedFrame = true;
      s.minimizeButtonId = IDC_MINIMIZE;
      s.closeButtonId = IDC_CLOSE;
      s.buttons.assign(std::begin(kMainWindowButtons), std::end(kMainWindowButtons));
      return s;
    }
    case IDD_ABOUT:
      return Framed(IDB_ABOUT_BG, SkinPaintMode::Stretch, {{IDOK, IDB_OK, IDB_OK_ACTIVE, false}});
    case IDD_LOGIN: {
      SkinDialogSettings s = Framed(IDB_LOGIN_BG, SkinPaintMode::Stretch,
                                    OkCancel(IDB_OK, IDB_OK_ACTIVE, IDB_CANCEL, IDB_CANCEL_ACTIVE));
      s.excludedIds = {IDC_LOGIN_USER, IDC_LOGIN_PASSWORD};
      return s;
    }
    case IDD_LANGUAGE:
      return Framed(IDB_INSTALL_BG, SkinPaintMode::Stretch,
                    OkCancel(IDB_OK, IDB_OK_ACTIVE, IDB_CANCEL, IDB_CANCEL_ACTIVE));
    case IDD_DRIVE_IN_USE:
      return Framed(IDB_DRIVE_IN_USE_BG, SkinPaintMode::Stretch,
                    OkCancel(IDB_OK, IDB_OK_ACTIVE, IDB_CANCEL, IDB_CANCEL_ACTIVE));
    case IDD_MODEL_SELECT:
      return Framed(IDB_MODEL_SELECT_BG, SkinPaintMode::Stretch,
                    OkCancel(IDB_OK, IDB_OK_ACTIVE, IDB_CANCEL, IDB_CANCEL_ACTIVE));
    case IDD_WIDGET_ENGINE:
      return Framed(IDB_WIDGET_ENGINE_BG, SkinPaintMode::Stretch,
                    OkCancel(IDB_DOWNLOAD, IDB_DOWNLOAD_ACTIVE, IDB_NEXT, IDB_NEXT_ACTIVE));
    case IDD_INSTALL_PROGRESS:
      return Framed(IDB_INSTALL_BG, SkinPaintMode::Natural);
    case IDD_RESTART_WAIT:
      return Framed(IDB_RESTART_BG, SkinPaintMode::Natural);
    default:
      return Framed(0, SkinPaintMode::Stretch);
  }
}

}  // namespace

SkinDialogSettings DialogSkinSettings(UINT templateId) {
  SkinDialogSettings settings = SettingsOfTemplate(templateId);
  settings.templateId = templateId;
  return settings;
}
