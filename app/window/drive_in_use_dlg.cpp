#include "drive_in_use_dlg.h"

#include "addon_state.h"
#include "dialog_skins.h"
#include "resource.h"

// The skin settings give the two buttons their faces; the dialog has no
// other set-up.
CDriveInUseDlg::CDriveInUseDlg(CWnd* pParent)
    : CSkinDialog(pParent, DialogSkinSettings(IDD_DRIVE_IN_USE)) {}

void CDriveInUseDlg::OnOK() {
  AddonFlowState.DriveInUseAccepted = 1;
  CSkinDialog::OnOK();
}

void CDriveInUseDlg::OnCancel() {
  AddonFlowState.DriveInUseAccepted = 0;
  CSkinDialog::OnCancel();
}
