// The framework's dialogs: dialog data exchange (CDataExchange, the DDX_ and
// DDV_ functions) and CDialog with its modal dialog procedure. Defined in
// dialog.cpp; how a dialog class is written is in framework/README.md.
#pragma once

#include <string>

#include "wnd.h"

// ===========================================================================
// Dialog data exchange
// ===========================================================================

class CDataExchange {
public:
  CDataExchange(CWnd* pDlgWnd, BOOL saveAndValidate)
      : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(pDlgWnd) {}
  BOOL m_bSaveAndValidate;  // TRUE: controls to members; FALSE: members to controls
  CWnd* m_pDlgWnd;
  HWND m_hWndLastControl = nullptr;
  BOOL m_bFailed = FALSE;  // a DDV check failed; later DDX/DDV calls do nothing

  HWND PrepareCtrl(int id);  // the dialog item, remembered as the last control
  // Marks the exchange failed and gives the last control the focus.
  void Fail();
};

// Attaches and subclasses dialog item id to control (once; PreSubclassWindow runs).
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);
// Window text of item id to/from value.
void DDX_Text(CDataExchange* pDX, int id, std::string& value);
// Check state of a check box: BST_UNCHECKED / BST_CHECKED / BST_INDETERMINATE.
void DDX_Check(CDataExchange* pDX, int id, int& value);
// Radio group starting at item id (up to the next WS_GROUP): index of the
// checked button, -1 when none is checked.
void DDX_Radio(CDataExchange* pDX, int id, int& value);
// Loading: limits the last edit control to maxChars (EM_LIMITTEXT). Saving: a
// longer value shows "Enter no more than N characters." and fails the exchange.
void DDV_MaxChars(CDataExchange* pDX, const std::string& value, int maxChars);

// ===========================================================================
// Dialogs
// ===========================================================================

// RT_DLGINIT: the resource type of a dialog template's control initialisation
// data (combo-box and list-box items), numbered like its template.
#define NEXORA_RT_DLGINIT MAKEINTRESOURCEA(240)

class CDialog : public CWnd {
public:
  explicit CDialog(UINT templateId, CWnd* pParent = nullptr);
  ~CDialog() override;

  // ::DialogBoxParamA on the template, owned by the parent window (or
  // GetSafeOwner). On WM_INITDIALOG the dialog window is joined to this object
  // and subclassed, so WindowProc sees every later message and Default() is
  // the system dialog procedure. Returns EndDialog's result, -1 on failure.
  virtual INT_PTR DoModal();
  // Base: the template's RT_DLGINIT items (ExecuteDlgInit), then
  // UpdateData(FALSE) (DoDataExchange, DDX_Control); returns TRUE.
  virtual BOOL OnInitDialog();
  virtual void OnOK();  // UpdateData(TRUE); if it holds, EndDialog(IDOK)
  virtual void OnCancel();  // EndDialog(IDCANCEL)
  void EndDialog(int result);  // ::EndDialog

  // Base colour handling of WM_CTLCOLOR*: CTLCOLOR_DLG gets the application's
  // dialog background brush, when SetDialogBkColor set one (the DC's text and
  // background colours are set to the application's pair); everything else,
  // message boxes and controls included, gets Default().
  virtual HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT ctlColor);

  // Sends the items of RT_DLGINIT resource `name` to the dialog's controls:
  // entries {WORD id; WORD msg; DWORD length; BYTE data[length]} ending with a
  // WORD 0. msg CB_ADDSTRING / LB_ADDSTRING, or their 16-bit numbers 0x0403 /
  // 0x0401; other messages are skipped. TRUE when there is no such resource;
  // FALSE when an item was refused or the data is malformed.
  BOOL ExecuteDlgInit(LPCSTR name);

  UINT GetTemplateID() const { return m_nIDTemplate; }

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  CWnd* m_pParentWnd;

protected:
  UINT m_nIDTemplate;

private:
  friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
};

// The dialog procedure given to ::DialogBoxParamA by CDialog::DoModal.
INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
