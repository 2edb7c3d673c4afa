#include "model_select_dlg.h"

#include "addon_state.h"
#include "dialog_skins.h"
#include "resource.h"

CModelSelectDlg::CModelSelectDlg(CWnd* pParent)
    : CSkinDialog(pParent, DialogSkinSettings(IDD_MODEL_SELECT)) {}

void CModelSelectDlg::DoDataExchange(CDataExchange* pDX) {
  CSkinDialog::DoDataExchange(pDX);
  DDX_Radio(pDX, IDC_MODEL_7100, modelIndex);
}

BOOL CModelSelectDlg::OnInitDialog() {
  modelIndex = -1;  // no model checked at the start
  return CSkinDialog::OnInitDialog();
}

void CModelSelectDlg::OnOK() {
  UpdateData(TRUE);
  AddonFlowState.ModelChoice = modelIndex;
  EndDialog(IDOK);
}

void CModelSelectDlg::OnCancel() {
  AddonFlowState.ModelChoice = -1;
  EndDialog(IDCANCEL);
}
