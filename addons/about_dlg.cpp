// The About box (dialog 308).

#include "main_dlg.h"

void CMainDlg::OnAbout() {}
