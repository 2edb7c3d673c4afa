// CDialog: modal dialogs from templates, their RT_DLGINIT items, and dialog
// data exchange.
#include "framework.h"
#include "framework_internal.h"

#include <cstdio>
#include <cstring>

CDialog::CDialog(UINT templateId, CWnd* pParent) : m_pParentWnd(pParent), m_nIDTemplate(templateId) {}

CDialog::~CDialog() = default;

INT_PTR CDialog::DoModal() {
  if (m_hWnd != nullptr) return -1;  // already running
  HWND owner = fwinternal::SafeOwner(m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr);
  INT_PTR result = ::DialogBoxParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), owner,
                                     &AfxDlgProc, reinterpret_cast<LPARAM>(this));
  if (DialogObserver* observer = GetDialogObserver()) observer->OnModalEnded(*this);
  // The window is gone; WM_NCDESTROY has detached it unless something
  // prevented that message from arriving.
  if (m_hWnd != nullptr && !::IsWindow(m_hWnd)) {
    m_pfnSuper = nullptr;
    Detach();
  }
  return result;
}

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_INITDIALOG) return FALSE;  // the system dialog procedure does the rest
  // WM_INITDIALOG again, from Default() inside the framework's handling.
  if (CWnd::FromHandlePermanent(hWnd) != nullptr) return TRUE;
  auto* dlg = reinterpret_cast<CDialog*>(lParam);
  if (dlg == nullptr || !dlg->SubclassWindow(hWnd)) return TRUE;
  LRESULT result = dlg->Dispatch(WM_INITDIALOG, wParam, lParam);
  if (dlg->m_hWnd == hWnd) {
    if (DialogObserver* observer = GetDialogObserver()) observer->OnModalStarted(*dlg);
  }
  return static_cast<INT_PTR>(result);
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog();
    case WM_COMMAND:
      // Buttons, Enter and Escape (IsDialogMessage) all arrive as BN_CLICKED.
      if (HIWORD(wParam) == BN_CLICKED) {
        if (LOWORD(wParam) == IDOK) {
          OnOK();
          return 0;
        }
        if (LOWORD(wParam) == IDCANCEL) {
          OnCancel();
          return 0;
        }
      }
      break;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
      CDCHandle dc(reinterpret_cast<HDC>(wParam));
      HBRUSH brush = OnCtlColor(&dc, FromHandle(reinterpret_cast<HWND>(lParam)),
                                message - WM_CTLCOLORMSGBOX);
      return reinterpret_cast<LRESULT>(brush);
    }
    default:
      break;
  }
  return CWnd::WindowProc(message, wParam, lParam);
}

BOOL CDialog::OnInitDialog() {
  ExecuteDlgInit(MAKEINTRESOURCEA(m_nIDTemplate));
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::EndDialog(int result) { ::EndDialog(m_hWnd, result); }

HBRUSH CDialog::OnCtlColor(CDC* pDC, CWnd*, UINT ctlColor) {
  CWinApp* app = AfxGetApp();
  if (ctlColor == CTLCOLOR_DLG && app != nullptr && app->GetDialogBkBrush() != nullptr) {
    pDC->SetBkColor(app->GetDialogBkColor());
    pDC->SetTextColor(app->GetDialogTextColor());
    return app->GetDialogBkBrush();
  }
  return reinterpret_cast<HBRUSH>(Default());
}

BOOL CDialog::ExecuteDlgInit(LPCSTR name) {
  HINSTANCE module = AfxGetResourceHandle();
  HRSRC resource = ::FindResourceA(module, name, NEXORA_RT_DLGINIT);
  if (resource == nullptr) return TRUE;
  DWORD size = ::SizeofResource(module, resource);
  HGLOBAL loaded = ::LoadResource(module, resource);
  const BYTE* data = loaded ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
  if (data == nullptr) return FALSE;

  const BYTE* p = data;
  const BYTE* end = data + size;
  BOOL success = TRUE;
  while (p < end) {
    if (end - p < 2) return FALSE;
    WORD id;
    std::memcpy(&id, p, sizeof id);
    if (id == 0) break;
    if (end - p < 8) return FALSE;
    WORD msg;
    DWORD length;
    std::memcpy(&msg, p + 2, sizeof msg);
    std::memcpy(&length, p + 4, sizeof length);
    p += 8;
    if (static_cast<DWORD>(end - p) < length) return FALSE;
    // The item messages are kept in their 16-bit numbering by resource tools.
    if (msg == 0x0403) msg = CB_ADDSTRING;
    if (msg == 0x0401) msg = LB_ADDSTRING;
    if (msg == CB_ADDSTRING || msg == LB_ADDSTRING) {
      // The text is zero-terminated within its length, or fills it.
      std::string text(reinterpret_cast<const char*>(p), length);
      text.resize(std::strlen(text.c_str()));
      HWND control = ::GetDlgItem(m_hWnd, id);
      LRESULT added = control ? ::SendMessageA(control, msg, 0, reinterpret_cast<LPARAM>(text.c_str()))
                              : static_cast<LRESULT>(CB_ERR);
      if (added == CB_ERR || added == CB_ERRSPACE) success = FALSE;
    }
    p += length;
  }
  return success;
}

// ---------------------------------------------------------------------------
// Dialog data exchange
// ---------------------------------------------------------------------------

HWND CDataExchange::PrepareCtrl(int id) {
  m_hWndLastControl = ::GetDlgItem(m_pDlgWnd->m_hWnd, id);
  return m_hWndLastControl;
}

void CDataExchange::Fail() {
  m_bFailed = TRUE;
  if (m_hWndLastControl != nullptr) ::SetFocus(m_hWndLastControl);
}

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
  if (pDX->m_bFailed || control.m_hWnd != nullptr) return;
  HWND item = pDX->PrepareCtrl(id);
  if (item == nullptr || !control.SubclassWindow(item)) {
    char line[96];
    std::snprintf(line, sizeof line, "DDX_Control: dialog item %d cannot be attached\n", id);
    ::OutputDebugStringA(line);
  }
}

void DDX_Text(CDataExchange* pDX, int id, std::string& value) {
  if (pDX->m_bFailed) return;
  HWND item = pDX->PrepareCtrl(id);
  if (item == nullptr) return;
  if (pDX->m_bSaveAndValidate) {
    value = fwinternal::WindowText(item);
  } else {
    ::SetWindowTextA(item, value.c_str());
  }
}

void DDX_Check(CDataExchange* pDX, int id, int& value) {
  if (pDX->m_bFailed) return;
  HWND item = pDX->PrepareCtrl(id);
  if (item == nullptr) return;
  if (pDX->m_bSaveAndValidate)
    value = static_cast<int>(::SendMessageA(item, BM_GETCHECK, 0, 0));
  else
    ::SendMessageA(item, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDX_Radio(CDataExchange* pDX, int id, int& value) {
  if (pDX->m_bFailed) return;
  HWND item = pDX->PrepareCtrl(id);
  if (item == nullptr) return;
  if (pDX->m_bSaveAndValidate) value = -1;
  int index = 0;
  do {
    if (::SendMessageA(item, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
      if (pDX->m_bSaveAndValidate) {
        if (::SendMessageA(item, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
      } else {
        ::SendMessageA(item, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
      }
      ++index;
    }
    item = ::GetWindow(item, GW_HWNDNEXT);
  } while (item != nullptr && !(::GetWindowLongA(item, GWL_STYLE) & WS_GROUP));
}

void DDV_MaxChars(CDataExchange* pDX, const std::string& value, int maxChars) {
  if (pDX->m_bFailed) return;
  if (!pDX->m_bSaveAndValidate) {
    if (pDX->m_hWndLastControl != nullptr)
      ::SendMessageA(pDX->m_hWndLastControl, EM_LIMITTEXT, static_cast<WPARAM>(maxChars), 0);
    return;
  }
  if (static_cast<int>(value.size()) > maxChars) {
    char text[64];
    std::snprintf(text, sizeof text, "Enter no more than %d characters.", maxChars);
    AfxMessageBox(text, MB_ICONEXCLAMATION);
    pDX->Fail();
  }
}
