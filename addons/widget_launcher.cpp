// The model's desktop widget.

#include "main_dlg.h"

void CMainDlg::OnWidget() {}
