// The code-page (language) install flow.

#include "main_dlg.h"

void CMainDlg::OnLanguage() {}
