// The BitTorrent add-on install flow.

#include "main_dlg.h"

void CMainDlg::OnBitTorrent() {}
