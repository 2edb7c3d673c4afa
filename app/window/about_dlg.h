// The About box (template 308): the program's icon, name, maker and
// version on the About background, with one skinned OK button.
#pragma once
#include "framework.h"
#include "skin_dialog.h"

// OK, Esc and the close command all just close it; it leaves no result.
class CAboutDlg : public CSkinDialog {
public:
  explicit CAboutDlg(CWnd* pParent = nullptr);
};
