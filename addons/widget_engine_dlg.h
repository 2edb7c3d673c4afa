// The widget-engine prompt (dialog 264): Download (OK) or Next (Cancel, also
// Esc and the window's close command). The answer goes to
// AddonFlowState.WidgetPromptChoice.
#pragma once
#include "framework.h"
#include "skin_dialog.h"

class CWidgetEngineDlg : public CSkinDialog {
public:
  explicit CWidgetEngineDlg(CWnd* pParent = nullptr);

  void OnOK() override;  // WidgetPromptChoice := 1 (Download)
  void OnCancel() override;  // WidgetPromptChoice := 0 (Next)
};
