// The program's dialog framework: a thin C++ layer over USER32, GDI32 and
// COMCTL32 with the class names of the classic Windows application frameworks
// (CWinApp, CWnd, CDialog, CButton, CListCtrl, CDC, ...). ANSI throughout.
//
// Each wrapper method stands for one Win32 call or message and does nothing
// else; where a method does more, its comment says so.
//
// ---------------------------------------------------------------------------
// How a window class is written: one virtual dispatch per class
// ---------------------------------------------------------------------------
// There are no message-map tables. Every window that the framework knows
// (a dialog run by CDialog::DoModal, a control attached with DDX_Control,
// SubclassWindow or SubclassDlgItem, a window made with CWnd::CreateEx) has its
// window procedure replaced by the framework's. That procedure calls the
// object's virtual WindowProc with every message. A class that handles
// messages overrides WindowProc with one switch, calls its On... handlers and
// hands everything else to its base class's WindowProc. CWnd::WindowProc ends
// in Default(), which passes the message being handled to the window's
// original procedure (for a dialog: the system's dialog procedure).
//
//   class CLoginDlg : public CSkinDialog {
//   public:
//     CLoginDlg() : CSkinDialog(134) {}
//   protected:
//     void DoDataExchange(CDataExchange* pDX) override {
//       CSkinDialog::DoDataExchange(pDX);
//       DDX_Control(pDX, IDOK, okButton);          // subclasses control 1
//       DDX_Text(pDX, 1016, userName);
//       DDV_MaxChars(pDX, userName, 16);
//     }
//     BOOL OnInitDialog() override;                  // base first, then own set-up
//     void OnOK() override;                          // IDOK, Enter
//     LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
//       switch (msg) {
//       case WM_COMMAND:
//         if (LOWORD(wParam) == 1003 && HIWORD(wParam) == BN_CLICKED) { OnMapDrive(); return 0; }
//         break;
//       case WM_NOTIFY:
//         if (wParam == 1000 && reinterpret_cast<NMHDR*>(lParam)->code == NM_CLICK) {
//           OnClickDeviceList(); return 0;
//         }
//         break;
//       case WM_ERASEBKGND:
//         return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
//       }
//       return CSkinDialog::WindowProc(msg, wParam, lParam);
//     }
//   };
//
// CDialog::WindowProc already routes WM_INITDIALOG to OnInitDialog, WM_COMMAND
// IDOK / IDCANCEL (buttons, Enter, Escape) to OnOK / OnCancel and WM_CTLCOLOR*
// to OnCtlColor. WM_CLOSE reaches the system dialog procedure through
// Default(), which turns it into IDCANCEL, so OnCancel also handles the
// window's close command. Inside a handler, Default() runs the original
// procedure on the message being handled and returns its result.
//
// ---------------------------------------------------------------------------
// Reflection: the control that sent a notification handles it first
// ---------------------------------------------------------------------------
// Before a window's WindowProc sees WM_COMMAND (from a control), WM_NOTIFY,
// WM_DRAWITEM, WM_MEASUREITEM, WM_COMPAREITEM, WM_DELETEITEM, WM_CTLCOLOR*,
// WM_HSCROLL or WM_VSCROLL (from a scroll-bar control), the framework finds the
// sending control's object (it must be a framework window: attached with
// DDX_Control or subclassed) and calls its OnChildNotify with the original
// message. If that returns TRUE, *pResult is the answer to the message and the
// parent's WindowProc never sees it. Otherwise the parent's WindowProc runs as
// usual. So a skinned list answers its own NM_CUSTOMDRAW while NM_CLICK on the
// same list reaches the dialog's handler, and WM_DRAWITEM reaches the
// control's virtual DrawItem (CButton, CListCtrl, CHeaderCtrl). Do not call
// Default() inside OnChildNotify: the message being handled there belongs to
// the parent.
//
// ---------------------------------------------------------------------------
// Object and window lifetimes
// ---------------------------------------------------------------------------
// Objects of framework classes are not copyable. A window object is joined to
// its HWND in a process-wide permanent map while attached; FromHandle gives the
// permanent object, or else a non-owning temporary wrapper that the framework
// keeps until its window is gone (do not store temporary pointers). When a
// subclassed window receives WM_NCDESTROY the framework restores the original
// procedure, removes the object from the map, sets m_hWnd to null and calls
// PostNcDestroy. Destroying an object whose window still exists unsubclasses
// it; a window made by CreateEx is also destroyed.
//
// GDI wrappers own what they hold: CGdiObject deletes its object and CDC
// deletes its DC when destroyed (Detach first to hand the handle on). CPaintDC,
// CClientDC and CWindowDC end or release their DC instead; CDCHandle never
// owns. SelectObject returns the previously selected handle, which is how the
// previous object is put back: `HBITMAP old = dc.SelectObject(&bmp); ...
// dc.SelectObject(old);`.
//
// The program entry point WinMain is part of this library (winapp.cpp): it
// initialises the common controls, calls the single application object's
// InitInstance and then ExitInstance (or Run, when InitInstance returns TRUE)
// and returns the exit code.
//
// Message boxes and modal dialogs report to the DialogObserver when one is
// installed (tests answer and drive them through it); the program installs none.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <typeindex>
#include <typeinfo>

class CWnd;
class CDialog;
class CDC;
class CWinApp;
class CHeaderCtrl;

// ===========================================================================
// Small value types
// ===========================================================================

class CSize : public SIZE {
public:
  CSize() {
    cx = 0;
    cy = 0;
  }
  CSize(int x, int y) {
    cx = x;
    cy = y;
  }
};

class CPoint : public POINT {
public:
  CPoint() {
    x = 0;
    y = 0;
  }
  CPoint(int px, int py) {
    x = px;
    y = py;
  }
  CPoint(POINT p) {
    x = p.x;
    y = p.y;
  }
  // The point packed in an LPARAM of a mouse message (signed coordinates).
  explicit CPoint(LPARAM lParam) {
    x = static_cast<short>(LOWORD(lParam));
    y = static_cast<short>(HIWORD(lParam));
  }
  void Offset(int dx, int dy) {
    x += dx;
    y += dy;
  }
  bool operator==(const POINT& p) const { return x == p.x && y == p.y; }
  bool operator!=(const POINT& p) const { return !(*this == p); }
};

class CRect : public RECT {
public:
  CRect() { left = top = right = bottom = 0; }
  CRect(int l, int t, int r, int b) {
    left = l;
    top = t;
    right = r;
    bottom = b;
  }
  CRect(const RECT& r) {
    left = r.left;
    top = r.top;
    right = r.right;
    bottom = r.bottom;
  }
  CRect(POINT topLeft, SIZE size) {
    left = topLeft.x;
    top = topLeft.y;
    right = left + size.cx;
    bottom = top + size.cy;
  }
  operator LPRECT() { return this; }
  operator LPCRECT() const { return this; }
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  CSize Size() const { return CSize(Width(), Height()); }
  CPoint TopLeft() const { return CPoint(left, top); }
  CPoint BottomRight() const { return CPoint(right, bottom); }
  BOOL IsRectEmpty() const { return ::IsRectEmpty(this); }
  BOOL PtInRect(POINT p) const { return ::PtInRect(this, p); }
  void SetRect(int l, int t, int r, int b) { ::SetRect(this, l, t, r, b); }
  void SetRectEmpty() { ::SetRectEmpty(this); }
  void OffsetRect(int dx, int dy) { ::OffsetRect(this, dx, dy); }
  void InflateRect(int dx, int dy) { ::InflateRect(this, dx, dy); }
  void DeflateRect(int dx, int dy) { ::InflateRect(this, -dx, -dy); }
  bool operator==(const RECT& r) const { return ::EqualRect(this, &r) != 0; }
  bool operator!=(const RECT& r) const { return !(*this == r); }
};

// ===========================================================================
// GDI objects
// ===========================================================================

// Owns one GDI object and deletes it when destroyed.
class CGdiObject {
public:
  HGDIOBJ m_hObject = nullptr;

  CGdiObject() = default;
  virtual ~CGdiObject();
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;

  // Takes ownership (deleting what was held before). Accepts the HANDLE of
  // LoadImage. FALSE for a null handle.
  BOOL Attach(HGDIOBJ hObject);
  HGDIOBJ Detach();  // gives up ownership
  BOOL DeleteObject();  // ::DeleteObject; FALSE when empty
  HGDIOBJ GetSafeHandle() const { return m_hObject; }
  int GetObject(int count, LPVOID buffer) const;  // ::GetObjectA
};

class CBitmap : public CGdiObject {
public:
  BOOL LoadBitmap(UINT resourceId);  // ::LoadBitmapA from AfxGetResourceHandle()
  BOOL LoadBitmap(LPCSTR resourceName);
  BOOL CreateCompatibleBitmap(CDC* pDC, int width, int height);
  BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
  int GetBitmap(BITMAP* pBitmap) const;  // ::GetObjectA; 0 on failure
  operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
};

class CFont : public CGdiObject {
public:
  BOOL CreateFont(int height, int width, int escapement, int orientation, int weight,
                  BYTE italic, BYTE underline, BYTE strikeOut, BYTE charSet,
                  BYTE outPrecision, BYTE clipPrecision, BYTE quality,
                  BYTE pitchAndFamily, LPCSTR faceName);  // ::CreateFontA
  BOOL CreateFontIndirect(const LOGFONTA* logFont);  // ::CreateFontIndirectA
  int GetLogFont(LOGFONTA* logFont) const;  // ::GetObjectA
  operator HFONT() const { return static_cast<HFONT>(m_hObject); }
};

class CBrush : public CGdiObject {
public:
  CBrush() = default;
  explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
  BOOL CreateSolidBrush(COLORREF color);  // ::CreateSolidBrush
  operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
};

class CPen : public CGdiObject {
public:
  CPen() = default;
  CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
  BOOL CreatePen(int style, int width, COLORREF color);  // ::CreatePen
  operator HPEN() const { return static_cast<HPEN>(m_hObject); }
};

// ===========================================================================
// Device contexts
// ===========================================================================

// Holds an HDC; deletes it (::DeleteDC) when destroyed unless detached.
class CDC {
public:
  HDC m_hDC = nullptr;

  CDC() = default;
  virtual ~CDC();
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  operator HDC() const { return m_hDC; }
  HDC GetSafeHdc() const { return m_hDC; }
  BOOL Attach(HDC hDC);  // takes ownership; FALSE for null
  HDC Detach();
  BOOL DeleteDC();  // ::DeleteDC; FALSE when empty

  // ::CreateCompatibleDC with pDC's DC (the screen for null). Deletes a DC
  // held before.
  BOOL CreateCompatibleDC(CDC* pDC);

  // ::SelectObject; each returns the handle that was selected before.
  HBITMAP SelectObject(CBitmap* pBitmap);
  HFONT SelectObject(CFont* pFont);
  HBRUSH SelectObject(CBrush* pBrush);
  HPEN SelectObject(CPen* pPen);
  HBITMAP SelectObject(HBITMAP hBitmap);
  HFONT SelectObject(HFONT hFont);
  HBRUSH SelectObject(HBRUSH hBrush);
  HPEN SelectObject(HPEN hPen);
  HGDIOBJ SelectStockObject(int index);  // ::SelectObject(GetStockObject(index))

  BOOL BitBlt(int x, int y, int width, int height, CDC* pSrc, int xSrc, int ySrc, DWORD rop);
  BOOL StretchBlt(int x, int y, int width, int height, CDC* pSrc, int xSrc, int ySrc,
                  int srcWidth, int srcHeight, DWORD rop);
  int SetStretchBltMode(int mode);
  int FillRect(LPCRECT rect, CBrush* pBrush);  // ::FillRect
  int FillRect(LPCRECT rect, HBRUSH hBrush);
  // Fills with a colour through ::SetBkColor and ::ExtTextOutA(ETO_OPAQUE);
  // leaves the DC's background colour set to that colour.
  void FillSolidRect(LPCRECT rect, COLORREF color);
  void FillSolidRect(int x, int y, int width, int height, COLORREF color);

  int SetBkMode(int mode);
  int GetBkMode() const;
  COLORREF SetTextColor(COLORREF color);
  COLORREF GetTextColor() const;
  COLORREF SetBkColor(COLORREF color);
  COLORREF GetBkColor() const;

  int DrawText(LPCSTR text, int count, LPRECT rect, UINT format);  // ::DrawTextA
  int DrawText(LPCSTR text, LPRECT rect, UINT format);  // zero-terminated
  int DrawText(const std::string& text, LPRECT rect, UINT format);
  BOOL TextOut(int x, int y, LPCSTR text, int count);  // ::TextOutA
  BOOL DrawIcon(int x, int y, HICON hIcon);
  BOOL DrawIcon(POINT point, HICON hIcon);
  BOOL DrawFocusRect(LPCRECT rect);  // ::DrawFocusRect (drawn by XOR: a second call removes it)

  int SaveDC();
  BOOL RestoreDC(int savedDC);
  int ExcludeClipRect(int x1, int y1, int x2, int y2);
  int ExcludeClipRect(LPCRECT rect);
  int IntersectClipRect(int x1, int y1, int x2, int y2);
  int GetClipBox(LPRECT rect) const;
  CPoint SetWindowOrg(int x, int y);  // ::SetWindowOrgEx; returns the previous origin
  CPoint SetViewportOrg(int x, int y);  // ::SetViewportOrgEx; returns the previous origin
  int GetTextCharset() const;  // ::GetTextCharset
  int GetDeviceCaps(int index) const;
};

// A CDC over a DC that belongs to someone else (DRAWITEMSTRUCT, NMCUSTOMDRAW,
// WM_CTLCOLOR*): never deletes it.
class CDCHandle : public CDC {
public:
  explicit CDCHandle(HDC hDC) { m_hDC = hDC; }
  ~CDCHandle() override { m_hDC = nullptr; }
};

// ::BeginPaint in the constructor, ::EndPaint in the destructor.
class CPaintDC : public CDC {
public:
  explicit CPaintDC(CWnd* pWnd);
  ~CPaintDC() override;
  PAINTSTRUCT m_ps{};

protected:
  HWND m_hWnd;
};

// ::GetDC in the constructor, ::ReleaseDC in the destructor.
class CClientDC : public CDC {
public:
  explicit CClientDC(CWnd* pWnd);
  ~CClientDC() override;

protected:
  HWND m_hWnd;
};

// ::GetWindowDC in the constructor, ::ReleaseDC in the destructor.
class CWindowDC : public CDC {
public:
  explicit CWindowDC(CWnd* pWnd);
  ~CWindowDC() override;

protected:
  HWND m_hWnd;
};

// ===========================================================================
// Windows
// ===========================================================================

class CDataExchange;

class CWnd {
public:
  HWND m_hWnd = nullptr;

  CWnd() = default;
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  operator HWND() const { return m_hWnd; }
  HWND GetSafeHwnd() const { return m_hWnd; }

  // --- handle map ----------------------------------------------------------
  // The object joined to hWnd, or a temporary non-owning CWnd for it; null for
  // a null handle.
  static CWnd* FromHandle(HWND hWnd);
  // The object joined to hWnd, or null.
  static CWnd* FromHandlePermanent(HWND hWnd);
  // As FromHandle, typed: the permanent object if it is a T, else a temporary T.
  template <class T>
  static T* FromHandleAs(HWND hWnd) {
    if (hWnd == nullptr) return nullptr;
    if (T* p = dynamic_cast<T*>(FromHandlePermanent(hWnd))) return p;
    return static_cast<T*>(TemporaryFor(hWnd, typeid(T), [] { return static_cast<CWnd*>(new T); }));
  }
  // Frees the temporary wrappers (pointers to them become invalid).
  static void DeleteTempMap();

  // Joins the object to hWnd in the permanent map without subclassing.
  BOOL Attach(HWND hWnd);
  HWND Detach();
  // Attach, PreSubclassWindow, then replace the window procedure with the
  // framework's (the old one is kept for Default). FALSE when hWnd is null,
  // not a window, or already joined to another object.
  BOOL SubclassWindow(HWND hWnd);
  BOOL SubclassDlgItem(UINT id, CWnd* pParent);
  HWND UnsubclassWindow();  // puts the old procedure back, detaches
  // ::CreateWindowExA, then SubclassWindow. Messages sent during creation
  // (WM_CREATE, ...) go to the class's own procedure only.
  BOOL CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style,
                const RECT& rect, CWnd* pParent, UINT id);
  BOOL DestroyWindow();

  virtual void PreSubclassWindow() {}
  virtual void PostNcDestroy() {}

  // --- messages ---------------------------------------------------------------
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  LRESULT Default();  // current message, original procedure
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);  // original procedure
  const MSG* GetCurrentMessage() const { return &m_msgCur; }

  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  LRESULT SendDlgItemMessage(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

  // --- dialog data exchange ---------------------------------------------------
  // Runs DoDataExchange; FALSE when a DDV check failed.
  BOOL UpdateData(BOOL saveAndValidate = TRUE);

  // --- state and text ---------------------------------------------------------
  BOOL IsWindow() const { return ::IsWindow(m_hWnd); }
  int GetDlgCtrlID() const;
  CWnd* GetDlgItem(int id) const;
  CWnd* GetParent() const;
  void SetWindowText(LPCSTR text);
  int GetWindowText(LPSTR buffer, int maxCount) const;
  void GetWindowText(std::string& text) const;
  int GetWindowTextLength() const;
  void SetDlgItemText(int id, LPCSTR text);
  int GetDlgItemText(int id, LPSTR buffer, int maxCount) const;
  void GetDlgItemText(int id, std::string& text) const;
  void CheckDlgButton(int id, UINT check);
  UINT IsDlgButtonChecked(int id) const;
  void CheckRadioButton(int firstId, int lastId, int checkId);
  int GetCheckedRadioButton(int firstId, int lastId) const;  // 0 when none

  BOOL EnableWindow(BOOL enable = TRUE);
  BOOL IsWindowEnabled() const;
  BOOL ShowWindow(int cmdShow);
  BOOL IsWindowVisible() const;
  BOOL IsIconic() const;
  DWORD GetStyle() const;
  DWORD GetExStyle() const;
  // Changes GWL_STYLE; when flags is non-zero also ::SetWindowPos with flags |
  // SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE. FALSE when the
  // style stayed the same.
  BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
  BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT flags = 0);

  // --- painting ---------------------------------------------------------------
  void Invalidate(BOOL erase = TRUE);
  void InvalidateRect(LPCRECT rect, BOOL erase = TRUE);
  void ValidateRect(LPCRECT rect);
  void UpdateWindow();
  BOOL RedrawWindow(LPCRECT rect = nullptr, HRGN region = nullptr,
                    UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
  void SetRedraw(BOOL redraw = TRUE);  // WM_SETREDRAW
  HDC GetDC();  // ::GetDC; give it back with ReleaseDC
  int ReleaseDC(HDC hDC);
  int SetWindowRgn(HRGN region, BOOL redraw);  // the system owns the region afterwards

  // --- geometry ---------------------------------------------------------------
  void GetClientRect(LPRECT rect) const;
  void GetWindowRect(LPRECT rect) const;
  void ScreenToClient(LPPOINT point) const;
  void ScreenToClient(LPRECT rect) const;
  void ClientToScreen(LPPOINT point) const;
  void ClientToScreen(LPRECT rect) const;
  BOOL SetWindowPos(const CWnd* pInsertAfter, int x, int y, int cx, int cy, UINT flags);
  void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
  void MoveWindow(LPCRECT rect, BOOL repaint = TRUE);

  // --- input, timers, focus ---------------------------------------------------
  UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc = nullptr);
  BOOL KillTimer(UINT_PTR id);
  CWnd* SetCapture();  // returns the window that held the capture
  static BOOL ReleaseCapture();
  static CWnd* GetCapture();
  CWnd* SetFocus();  // returns the window that had the focus
  static CWnd* GetFocus();
  static CWnd* WindowFromPoint(POINT point);

  // --- scrolling --------------------------------------------------------------
  int GetScrollPos(int bar) const;
  BOOL GetScrollInfo(int bar, LPSCROLLINFO info, UINT mask = SIF_ALL) const;
  // The largest scroll position: nMax - max(nPage - 1, 0) of ::GetScrollInfo;
  // 0 when the window has no such scroll bar.
  int GetScrollLimit(int bar) const;
  BOOL ShowScrollBar(int bar, BOOL show = TRUE);

  // --- fonts, icons -----------------------------------------------------------
  void SetFont(CFont* pFont, BOOL redraw = TRUE);  // WM_SETFONT
  HFONT GetFont() const;  // WM_GETFONT
  HICON SetIcon(HICON hIcon, BOOL bigIcon);  // WM_SETICON

  // Through AfxMessageBox; a null caption means the application's name.
  int MessageBox(LPCSTR text, LPCSTR caption = nullptr, UINT type = MB_OK);

  // The window a modal dialog or message box should be owned by when no
  // parent is given: pParent's top-level window, else the application's main
  // window, else the thread's active window; then its last active pop-up.
  // Null when there is none.
  static CWnd* GetSafeOwner(CWnd* pParent = nullptr);

protected:
  virtual void DoDataExchange(CDataExchange*) {}

  WNDPROC m_pfnSuper = nullptr;  // the original window procedure while subclassed

private:
  friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
  friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
  friend class CDialog;
  using TempFactory = CWnd* (*)();
  static CWnd* TemporaryFor(HWND hWnd, const std::type_index& type, TempFactory make);
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  BOOL ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

  MSG m_msgCur{};
  bool m_bCreated = false;  // made by CreateEx: destroyed with the object
};

// The framework's window procedure (installed by SubclassWindow).
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
// The dialog procedure given to ::DialogBoxParamA by CDialog::DoModal.
INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

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

// ===========================================================================
// Controls
// ===========================================================================

class CButton : public CWnd {
public:
  UINT GetState() const;  // BM_GETSTATE
  void SetState(BOOL highlight);  // BM_SETSTATE
  int GetCheck() const;  // BM_GETCHECK
  void SetCheck(int check);  // BM_SETCHECK
  UINT GetButtonStyle() const;  // low style byte
  void SetButtonStyle(UINT style, BOOL redraw = TRUE);  // BM_SETSTYLE
  // Owner drawing (BS_OWNERDRAW): reflected WM_DRAWITEM. Base draws nothing.
  virtual void DrawItem(LPDRAWITEMSTRUCT) {}
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CStatic : public CWnd {
public:
  // A "STATIC" child window of pParent (CreateEx).
  BOOL Create(LPCSTR text, DWORD style, const RECT& rect, CWnd* pParent, UINT id = 0xffff);
};

class CEdit : public CWnd {
public:
  void LimitText(int maxChars = 0);  // EM_LIMITTEXT
  void SetLimitText(UINT maxChars);
  UINT GetLimitText() const;  // EM_GETLIMITTEXT
  void SetSel(int start, int end, BOOL noScroll = FALSE);  // EM_SETSEL (+ EM_SCROLLCARET)
  BOOL SetReadOnly(BOOL readOnly = TRUE);  // EM_SETREADONLY
};

class CComboBox : public CWnd {
public:
  int AddString(LPCSTR text);  // CB_ADDSTRING
  int InsertString(int index, LPCSTR text);
  int DeleteString(int index);
  void ResetContent();  // CB_RESETCONTENT
  int SetCurSel(int index);  // CB_SETCURSEL
  int GetCurSel() const;
  int GetCount() const;
  int GetLBText(int index, LPSTR buffer) const;  // CB_GETLBTEXT; CB_ERR for a bad index
  void GetLBText(int index, std::string& text) const;  // empty for a bad index
  int GetLBTextLen(int index) const;
  int FindStringExact(int startAfter, LPCSTR text) const;
  virtual void DrawItem(LPDRAWITEMSTRUCT) {}
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CListCtrl : public CWnd {
public:
  DWORD SetExtendedStyle(DWORD exStyle);  // LVM_SETEXTENDEDLISTVIEWSTYLE; returns the old
  DWORD GetExtendedStyle() const;
  int InsertColumn(int column, LPCSTR heading, int format = LVCFMT_LEFT, int width = -1,
                   int subItem = -1);  // LVM_INSERTCOLUMNA
  int InsertItem(int item, LPCSTR text);  // LVM_INSERTITEMA (LVIF_TEXT)
  int InsertItem(const LVITEMA* item);
  BOOL SetItemText(int item, int subItem, LPCSTR text);  // LVM_SETITEMTEXTA
  int GetItemText(int item, int subItem, LPSTR buffer, int length) const;  // LVM_GETITEMTEXTA
  std::string GetItemText(int item, int subItem) const;
  BOOL DeleteItem(int item);
  BOOL DeleteAllItems();
  int GetItemCount() const;
  UINT GetItemState(int item, UINT mask) const;  // LVM_GETITEMSTATE
  BOOL SetItemState(int item, UINT state, UINT mask);  // LVM_SETITEMSTATE
  int GetNextItem(int item, int flags) const;  // LVM_GETNEXTITEM
  int GetTopIndex() const;  // LVM_GETTOPINDEX
  int GetCountPerPage() const;
  BOOL GetItemRect(int item, LPRECT rect, UINT code) const;  // LVM_GETITEMRECT
  BOOL Scroll(CSize size);  // LVM_SCROLL
  BOOL SetTextColor(COLORREF color);  // LVM_SETTEXTCOLOR
  COLORREF GetTextColor() const;
  BOOL SetTextBkColor(COLORREF color);  // LVM_SETTEXTBKCOLOR
  COLORREF GetTextBkColor() const;
  BOOL SetBkColor(COLORREF color);  // LVM_SETBKCOLOR
  // The list's header (LVM_GETHEADER, child id 0): its permanent object when
  // subclassed, else a temporary CHeaderCtrl; null when there is none.
  CHeaderCtrl* GetHeaderCtrl() const;
  virtual void DrawItem(LPDRAWITEMSTRUCT) {}
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CHeaderCtrl : public CWnd {
public:
  int GetItemCount() const;  // HDM_GETITEMCOUNT
  BOOL GetItem(int index, HDITEMA* item) const;  // HDM_GETITEMA
  BOOL GetItemRect(int index, LPRECT rect) const;  // HDM_GETITEMRECT
  virtual void DrawItem(LPDRAWITEMSTRUCT) {}
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CProgressCtrl : public CWnd {
public:
  void SetRange(short lower, short upper);  // PBM_SETRANGE
  void SetRange32(int lower, int upper);  // PBM_SETRANGE32
  void GetRange(int& lower, int& upper) const;  // PBM_GETRANGE
  int SetPos(int pos);  // returns the old position
  int GetPos() const;  // PBM_GETPOS
  int OffsetPos(int delta);
  int SetStep(int step);  // returns the old step
  int StepIt();  // returns the old position
};

class CIPAddressCtrl : public CWnd {
public:
  void SetAddress(BYTE field0, BYTE field1, BYTE field2, BYTE field3);  // IPM_SETADDRESS
  void SetAddress(DWORD address);  // field 0 in the highest byte (MAKEIPADDRESS)
  // IPM_GETADDRESS: the number of non-blank fields; blank fields read 0.
  int GetAddress(BYTE& field0, BYTE& field1, BYTE& field2, BYTE& field3) const;
  int GetAddress(DWORD& address) const;
  void ClearAddress();  // IPM_CLEARADDRESS
  BOOL IsBlank() const;  // IPM_ISBLANK
  void SetFieldFocus(WORD field);  // IPM_SETFOCUS, field 0..3
  void SetFieldRange(int field, BYTE lower, BYTE upper);  // IPM_SETRANGE
};

// ===========================================================================
// Threads
// ===========================================================================

typedef UINT(__cdecl* AFX_THREADPROC)(LPVOID);

// A thread started by AfxBeginThread. The caller owns the object; deleting it
// closes the handle and leaves the thread running (so `delete
// AfxBeginThread(...)` starts a thread nobody waits for).
class CWinThread {
public:
  HANDLE m_hThread = nullptr;
  DWORD m_nThreadID = 0;

  CWinThread() = default;
  ~CWinThread();
  CWinThread(const CWinThread&) = delete;
  CWinThread& operator=(const CWinThread&) = delete;

  operator HANDLE() const { return m_hThread; }
  DWORD ResumeThread();  // ::ResumeThread
  BOOL SetThreadPriority(int priority);
  int GetThreadPriority() const;
  DWORD Wait(DWORD milliseconds = INFINITE) const;  // ::WaitForSingleObject
};

// ::CreateThread running fn(param) at the given priority; CREATE_SUSPENDED in
// createFlags leaves it suspended. Null when the thread could not be made.
CWinThread* AfxBeginThread(AFX_THREADPROC fn, LPVOID param, int priority = THREAD_PRIORITY_NORMAL,
                           UINT stackSize = 0, DWORD createFlags = 0,
                           LPSECURITY_ATTRIBUTES security = nullptr);

// ===========================================================================
// The application
// ===========================================================================

// Derive, and define exactly one static instance (`CUtilityApp theApp;`).
class CWinApp {
public:
  // appName: the application's name (captions of message boxes given none);
  // the executable's base name when null.
  explicit CWinApp(LPCSTR appName = nullptr);
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // FALSE ends the program (ExitInstance runs); TRUE runs the message loop.
  virtual BOOL InitInstance() { return FALSE; }
  virtual int ExitInstance() { return m_nExitCode; }  // the process exit code
  virtual int Run();  // GetMessage loop, then ExitInstance

  // Stores the dialog background colour and text colour. CDialog::OnCtlColor
  // paints the dialog background (CTLCOLOR_DLG) with them; the text colour
  // goes only into that DC and never into controls or message boxes, so even a
  // white-on-white pair cannot make any text unreadable.
  void SetDialogBkColor(COLORREF background = RGB(192, 192, 192), COLORREF text = RGB(0, 0, 0));
  HBRUSH GetDialogBkBrush() const { return m_hDlgBkBrush; }  // null until set
  COLORREF GetDialogBkColor() const { return m_clrDlgBk; }
  COLORREF GetDialogTextColor() const { return m_clrDlgText; }

  HICON LoadIcon(UINT resourceId) const;  // ::LoadIconA from AfxGetResourceHandle()

  CWnd* m_pMainWnd = nullptr;
  HINSTANCE m_hInstance = nullptr;
  LPCSTR m_pszAppName = nullptr;
  LPSTR m_lpCmdLine = nullptr;
  int m_nCmdShow = SW_SHOWNORMAL;
  int m_nExitCode = 0;  // returned by ExitInstance; set by WM_QUIT in Run

private:
  std::string m_appName;
  HBRUSH m_hDlgBkBrush = nullptr;
  COLORREF m_clrDlgBk = RGB(192, 192, 192);
  COLORREF m_clrDlgText = RGB(0, 0, 0);
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInstance);
// ::InitCommonControlsEx for list views, IP-address controls, progress bars and
// the other Windows 95 classes. WinMain calls it; tests call it themselves.
BOOL AfxInitCommonControls();
// The body of WinMain: AfxInitCommonControls, InitInstance, then ExitInstance
// (FALSE) or Run (TRUE). -1 when there is no application object.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR cmdLine, int cmdShow);

// Every message box of the program goes through here: ::MessageBoxA, unless
// the installed DialogObserver answers it. A null owner means
// CWnd::GetSafeOwner(); a null caption means the application's name.
int AfxMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
// Owned by GetSafeOwner(), captioned with the application's name.
int AfxMessageBox(LPCSTR text, UINT type = MB_OK, UINT helpId = 0);

// ===========================================================================
// Dialog observer
// ===========================================================================

// Told about every message box and modal dialog, so that a test can answer
// and drive them in place of a user. All calls come on the thread that shows
// the box or runs the dialog.
class DialogObserver {
public:
  virtual ~DialogObserver() = default;
  // A message box is about to be shown, with the owner, text and caption it
  // would show (the application's name when none was given). Returning true
  // with *answer set answers it and nothing is shown; false shows it.
  virtual bool OnMessageBox(HWND owner, const std::string& text, const std::string& caption,
                            UINT type, int* answer) = 0;
  // A modal dialog has handled WM_INITDIALOG and is still open; its message
  // loop runs next.
  virtual void OnModalStarted(CDialog& dlg) = 0;
  // DoModal of dlg is about to return: its window is gone. Also comes for a
  // dialog that failed before OnModalStarted.
  virtual void OnModalEnded(CDialog& dlg) = 0;
};

// Installs an observer (not owned); nullptr: none. Not thread-safe: set it
// before the code under test runs.
void SetDialogObserver(DialogObserver* observer);
DialogObserver* GetDialogObserver();
