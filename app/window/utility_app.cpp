#include "utility_app.h"

#include <memory>

#include "main_dlg.h"
#include "transport.h"

CUtilityApp::CUtilityApp() : CWinApp("Nexora Storage Utility") {}

BOOL CUtilityApp::InitInstance() {
  if (!OpenTransport()) {
    // Nothing can be found without sockets; end quietly with code 1.
    m_nExitCode = 1;
    return FALSE;
  }

  auto dialog = std::make_unique<CMainDlg>(nullptr);
  m_pMainWnd = dialog.get();
  SetDialogBkColor(RGB(255, 255, 255), RGB(255, 255, 255));
  dialog->DoModal();
  dialog.reset();  // also takes it out of m_pMainWnd
  m_pMainWnd = nullptr;
  return FALSE;
}
