// The main window's About button and its three add-on buttons. This is the
// one place where the main window reaches addons/, through addon_entry.h:
// it passes what each flow needs and runs its own refresh sequence when a
// flow says so.

#include <string>

#include "about_dlg.h"
#include "addon_entry.h"
#include "main_dlg.h"

void CMainDlg::OnAbout() {
  CAboutDlg about(this);
  about.DoModal();
}

void CMainDlg::OnLanguage() {
  if (RunLanguageAddon(this, deviceSelected != 0)) RunRefreshSequence();
}

void CMainDlg::OnBitTorrent() {
  if (RunBtAddon(this, deviceSelected != 0)) RunRefreshSequence();
}

void CMainDlg::OnWidget() {
  deviceListCtrl.SetFocus();
  const int row = SelectedDeviceRow();
  if (row < 0) {
    MessageBox("Please select a server.", "Warning", MB_ICONEXCLAMATION);
    return;
  }
  const std::string address = deviceListCtrl.GetItemText(row, 1);
  RunWidgetAddon(this, address.c_str(), selectedModel);
}
