// Drive mapping: a share of the clicked device to a local letter, and back.

#include "main_dlg.h"

void CMainDlg::OnMapDrive() {}
void CMainDlg::OnUnmapDrive() {}
