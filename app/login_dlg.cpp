#include "login_dlg.h"

#include <cstring>

#include "app_state.h"
#include "commands.h"
#include "dialog_skins.h"
#include "host_platform.h"
#include "lan_rules.h"
#include "resource.h"
#include "windows_version.h"

UINT MessageBoxIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Hand: return MB_ICONHAND;
    case MessageIcon::Exclamation: return MB_ICONEXCLAMATION;
    case MessageIcon::Information: return MB_ICONINFORMATION;
  }
  return 0;
}

CLoginDlg::CLoginDlg(CWnd* pParent) : CSkinDialog(pParent, DialogSkinSettings(IDD_LOGIN)) {}

void CLoginDlg::DoDataExchange(CDataExchange* pDX) {
  CSkinDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDOK, okButton);
  DDX_Control(pDX, IDCANCEL, cancelButton);
  DDX_Control(pDX, IDC_LOGIN_USER, userEdit);
  DDX_Text(pDX, IDC_LOGIN_USER, userName);
  DDX_Text(pDX, IDC_LOGIN_PASSWORD, password);
}

BOOL CLoginDlg::OnInitDialog() {
  // Attaches the controls and gives the two buttons their faces.
  CSkinDialog::OnInitDialog();
  SendDlgItemMessage(IDC_LOGIN_USER, EM_LIMITTEXT, kMaxText, 0);
  SendDlgItemMessage(IDC_LOGIN_PASSWORD, EM_LIMITTEXT, kMaxText, 0);

  if (LoginForAdmin == 1) {
    userName = "admin";
    userEdit.EnableWindow(FALSE);
  } else {
    char version[64];
    GetWindowsVersionName(version, sizeof version, nullptr);
    if (VersionNameIsMeOr98(version)) {
      // Windows 9x shares take the logged-on user's name.
      char user[128] = {};
      DWORD size = sizeof user;
      if (!ActiveHostPlatform().QueryUserName(user, &size)) user[0] = '\0';
      user[sizeof user - 1] = '\0';
      // What is shown is what OK sends: adminUser holds 16 characters.
      userName.assign(user, strnlen(user, kMaxText));
      userEdit.EnableWindow(FALSE);
    } else {
      userName.clear();
      userEdit.EnableWindow(TRUE);
    }
  }
  SetDlgItemText(IDC_LOGIN_USER, userName.c_str());
  return TRUE;
}

void CLoginDlg::OnOK() {
  UpdateData(TRUE);
  CopyTextField(CommandBuffers.adminUser, userName.c_str());
  CopyTextField(CommandBuffers.adminPassword, password.c_str());
  EndDialog(IDOK);
}

void CLoginDlg::OnCancel() { EndDialog(IDOK); }

bool ConfirmAdminPassword(CWnd* owner) {
  const LanCheckResult result = ConfirmAdministrator([owner] {
    CLoginDlg login(owner);
    login.DoModal();
  });
  if (result.ok) return true;
  AfxMessageBox(owner != nullptr ? owner->GetSafeHwnd() : nullptr, result.message, result.caption,
                MessageBoxIcon(result.icon));
  return false;
}
