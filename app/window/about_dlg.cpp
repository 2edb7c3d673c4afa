// The About box (dialog 308), opened by the main window's About button.

#include "about_dlg.h"

#include "dialog_skins.h"
#include "resource.h"

CAboutDlg::CAboutDlg(CWnd* pParent) : CSkinDialog(pParent, DialogSkinSettings(IDD_ABOUT)) {}
