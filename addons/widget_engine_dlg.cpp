#include "widget_engine_dlg.h"

#include "addon_state.h"
#include "dialog_skins.h"
#include "resource.h"

CWidgetEngineDlg::CWidgetEngineDlg(CWnd* pParent)
    : CSkinDialog(pParent, DialogSkinSettings(IDD_WIDGET_ENGINE)) {}

void CWidgetEngineDlg::OnOK() {
  AddonFlowState.WidgetPromptChoice = 1;
  EndDialog(IDOK);
}

void CWidgetEngineDlg::OnCancel() {
  AddonFlowState.WidgetPromptChoice = 0;
  EndDialog(IDCANCEL);
}
