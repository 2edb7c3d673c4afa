// The device's web configuration pages in the default browser.

#include "main_dlg.h"

void CMainDlg::OnOpenWebConfig() {}
