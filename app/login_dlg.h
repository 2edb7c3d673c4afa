// The "Login" dialog (template 134) and the administrator password check
// that shows it.
#pragma once
#include <string>

#include "framework.h"
#include "lan_rules.h"  // MessageIcon
#include "skin_button.h"
#include "skin_dialog.h"

// Asks for the administrator password (LoginForAdmin 1: the user name is
// "admin" and cannot be edited) or for share credentials (LoginForAdmin 0:
// on Windows 98 and ME the logged-on Windows user, greyed; elsewhere typed).
// OK copies both texts into CommandBuffers.adminUser / adminPassword;
// Cancel leaves them as the caller set them. Both end the dialog with the
// same result, which callers ignore.
class CLoginDlg : public CSkinDialog {
public:
  explicit CLoginDlg(CWnd* pParent = nullptr);

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

  // Longest user name and password the edits take.
  static constexpr int kMaxText = 16;

  CSkinButton okButton;
  CSkinButton cancelButton;
  CEdit userEdit;
  std::string userName;
  std::string password;

protected:
  void DoDataExchange(CDataExchange* pDX) override;
};

// True when the selected device accepts the administrator password: first
// "admin" with an empty password, silently; when refused, once more with
// what the user types into the login dialog. A second refusal shows "Wrong
// administrator password input!" (caption "Error") on owner and gives false.
bool ConfirmAdminPassword(CWnd* owner = nullptr);

// Message-box icon flag of a LAN check's message (the login dialog's and the
// main window's LAN settings').
UINT MessageBoxIcon(MessageIcon icon);
