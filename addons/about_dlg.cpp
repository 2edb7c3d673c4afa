// The About box (dialog 308), opened by the main window's About button.

#include "about_dlg.h"

#include "dialog_skins.h"
#include "main_dlg.h"
#include "resource.h"

CAboutDlg::CAboutDlg(CWnd* pParent) : CSkinDialog(IDD_ABOUT, pParent, DialogSkinSettings(IDD_ABOUT)) {}

void CMainDlg::OnAbout() {
  CAboutDlg about(this);
  about.DoModal();
}
