// The framework's window: CWnd, its permanent and temporary handle maps and
// the framework's window procedure. Defined in wnd.cpp; how a window class is
// written is in framework/README.md.
#pragma once

#include <string>
#include <typeindex>
#include <typeinfo>

#include "gdi.h"  // CFont for SetFont; <windows.h> as the framework sets it up

class CDataExchange;

// ===========================================================================
// Windows
// ===========================================================================

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
