// The model choice (dialog 265) asked when the device's model is not one the
// widget launcher knows: three radio buttons, none checked at the start. OK
// stores the checked button's index (0..2, -1 when none) in
// AddonFlowState.ModelChoice; Cancel, Esc and the close command store -1.
#pragma once
#include "framework.h"
#include "skin_dialog.h"

class CModelSelectDlg : public CSkinDialog {
public:
  explicit CModelSelectDlg(CWnd* pParent = nullptr);

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

  // Index of the checked radio button of the group at IDC_MODEL_7100, -1
  // when none is checked.
  int modelIndex = -1;

protected:
  void DoDataExchange(CDataExchange* pDX) override;
};
