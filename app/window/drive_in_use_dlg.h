// The question asked before a drive letter that is already mapped is used
// again (template 229): "The drive letter has been used." / "Do you still
// want to use this drive letter?".
#pragma once
#include "framework.h"
#include "skin_dialog.h"

// OK sets AddonFlowState.DriveInUseAccepted to 1; Cancel, Escape and the
// window's close command set it to 0. The caller reads the flag afterwards,
// not the modal result.
class CDriveInUseDlg : public CSkinDialog {
public:
  explicit CDriveInUseDlg(CWnd* pParent = nullptr);

  void OnOK() override;
  void OnCancel() override;
};
