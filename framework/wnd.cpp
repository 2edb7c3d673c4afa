// CWnd: the handle maps, the framework's window procedure, reflection of
// notifications to the sending control, and the thin wrappers.
#include "callbacks.h"
#include "framework.h"
#include "framework_internal.h"

#include <algorithm>
#include <map>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

// One lock for both maps; recursive because destroying a temporary wrapper
// looks the permanent map up again. A critical section (recursive by nature)
// rather than std::recursive_mutex: the release's C++ runtime uses Win32
// threads, which have no std::mutex.
class MapLockSection {
public:
  MapLockSection() { ::InitializeCriticalSection(&m_section); }
  ~MapLockSection() { ::DeleteCriticalSection(&m_section); }
  MapLockSection(const MapLockSection&) = delete;
  MapLockSection& operator=(const MapLockSection&) = delete;
  void Enter() { ::EnterCriticalSection(&m_section); }
  void Leave() { ::LeaveCriticalSection(&m_section); }

private:
  CRITICAL_SECTION m_section;
};

MapLockSection& MapLock() {
  static MapLockSection lock;
  return lock;
}

// Holds the map lock for one scope.
class MapGuard {
public:
  MapGuard() { MapLock().Enter(); }
  ~MapGuard() { MapLock().Leave(); }
  MapGuard(const MapGuard&) = delete;
  MapGuard& operator=(const MapGuard&) = delete;
};

std::unordered_map<HWND, CWnd*>& PermanentMap() {
  static std::unordered_map<HWND, CWnd*> map;
  return map;
}

using TempKey = std::pair<HWND, std::type_index>;
std::map<TempKey, std::unique_ptr<CWnd>>& TempMap() {
  static std::map<TempKey, std::unique_ptr<CWnd>> map;
  return map;
}

WNDPROC CurrentProc(HWND hWnd) {
  return reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hWnd, GWLP_WNDPROC));
}

}  // namespace

// ---------------------------------------------------------------------------
// Handle maps
// ---------------------------------------------------------------------------

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
  if (hWnd == nullptr) return nullptr;
  MapGuard guard;
  auto it = PermanentMap().find(hWnd);
  return it == PermanentMap().end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd) { return FromHandleAs<CWnd>(hWnd); }

CWnd* CWnd::TemporaryFor(HWND hWnd, const std::type_index& type, TempFactory make) {
  std::vector<std::unique_ptr<CWnd>> dead;  // destroyed after the lock is released
  MapGuard guard;
  auto& temps = TempMap();
  auto found = temps.find(TempKey(hWnd, type));
  if (found != temps.end()) return found->second.get();
  // Wrappers of windows that are gone are of no use to anyone any more.
  for (auto it = temps.begin(); it != temps.end();) {
    if (!::IsWindow(it->first.first)) {
      it->second->m_hWnd = nullptr;
      dead.push_back(std::move(it->second));
      it = temps.erase(it);
    } else {
      ++it;
    }
  }
  CWnd* wrapper = make();
  wrapper->m_hWnd = hWnd;
  temps.emplace(TempKey(hWnd, type), std::unique_ptr<CWnd>(wrapper));
  return wrapper;
}

void CWnd::DeleteTempMap() {
  std::map<TempKey, std::unique_ptr<CWnd>> old;
  {
    MapGuard guard;
    old.swap(TempMap());
  }
  for (auto& entry : old) entry.second->m_hWnd = nullptr;
}

BOOL CWnd::Attach(HWND hWnd) {
  if (hWnd == nullptr || m_hWnd != nullptr) return FALSE;
  MapGuard guard;
  if (!PermanentMap().emplace(hWnd, this).second) return FALSE;
  m_hWnd = hWnd;
  return TRUE;
}

HWND CWnd::Detach() {
  HWND hWnd = m_hWnd;
  if (hWnd != nullptr) {
    MapGuard guard;
    auto it = PermanentMap().find(hWnd);
    if (it != PermanentMap().end() && it->second == this) PermanentMap().erase(it);
  }
  m_hWnd = nullptr;
  return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
  if (!::IsWindow(hWnd) || !Attach(hWnd)) return FALSE;
  PreSubclassWindow();
  WNDPROC old = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, WndProcValue(&AfxWndProc)));
  if (old == nullptr) {
    Detach();
    return FALSE;
  }
  m_pfnSuper = old;
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* pParent) {
  if (pParent == nullptr) return FALSE;
  return SubclassWindow(::GetDlgItem(pParent->m_hWnd, static_cast<int>(id)));
}

HWND CWnd::UnsubclassWindow() {
  if (m_hWnd == nullptr) return nullptr;
  if (m_pfnSuper != nullptr && CurrentProc(m_hWnd) == &AfxWndProc)
    ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, WndProcValue(m_pfnSuper));
  m_pfnSuper = nullptr;
  return Detach();
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style,
                    const RECT& rect, CWnd* pParent, UINT id) {
  if (m_hWnd != nullptr) return FALSE;
  HMENU menuOrId = (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)) : nullptr;
  HWND hWnd = ::CreateWindowExA(exStyle, className, windowName, style, rect.left, rect.top,
                                rect.right - rect.left, rect.bottom - rect.top,
                                pParent ? pParent->m_hWnd : nullptr, menuOrId,
                                AfxGetInstanceHandle(), nullptr);
  if (hWnd == nullptr) return FALSE;
  if (!SubclassWindow(hWnd)) {
    ::DestroyWindow(hWnd);
    return FALSE;
  }
  m_bCreated = true;
  return TRUE;
}

BOOL CWnd::DestroyWindow() {
  HWND hWnd = m_hWnd;
  if (hWnd == nullptr) return FALSE;
  BOOL done = ::DestroyWindow(hWnd);
  // A window that was attached without subclassing gets no WM_NCDESTROY here.
  if (done && FromHandlePermanent(hWnd) == this) {
    m_pfnSuper = nullptr;
    Detach();
  }
  return done;
}

CWnd::~CWnd() {
  if (CWinApp* app = AfxGetApp()) {
    if (app->m_pMainWnd == this) app->m_pMainWnd = nullptr;
  }
  HWND hWnd = m_hWnd;
  if (hWnd != nullptr && FromHandlePermanent(hWnd) == this) {
    if (m_pfnSuper != nullptr)
      UnsubclassWindow();
    else
      Detach();
    if (m_bCreated && ::IsWindow(hWnd)) ::DestroyWindow(hWnd);
  }
  m_hWnd = nullptr;
}

// ---------------------------------------------------------------------------
// Message dispatch
// ---------------------------------------------------------------------------

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* wnd = CWnd::FromHandlePermanent(hWnd);
  if (wnd == nullptr || wnd->m_pfnSuper == nullptr) return ::DefWindowProcA(hWnd, message, wParam, lParam);
  return wnd->Dispatch(message, wParam, lParam);
}

LRESULT CWnd::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND hWnd = m_hWnd;
  MSG saved = m_msgCur;
  m_msgCur.hwnd = hWnd;
  m_msgCur.message = message;
  m_msgCur.wParam = wParam;
  m_msgCur.lParam = lParam;

  LRESULT result = 0;
  if (!ReflectToChild(message, wParam, lParam, &result)) result = WindowProc(message, wParam, lParam);
  m_msgCur = saved;

  if (message == WM_NCDESTROY && FromHandlePermanent(hWnd) == this) {
    if (m_pfnSuper != nullptr && CurrentProc(hWnd) == &AfxWndProc)
      ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, WndProcValue(m_pfnSuper));
    m_pfnSuper = nullptr;
    Detach();
    m_bCreated = false;
    PostNcDestroy();
  }
  return result;
}

BOOL CWnd::ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  HWND child = nullptr;
  switch (message) {
    case WM_COMMAND:
      child = reinterpret_cast<HWND>(lParam);  // 0 for menus and accelerators
      break;
    case WM_NOTIFY:
      if (lParam != 0) child = reinterpret_cast<NMHDR*>(lParam)->hwndFrom;
      break;
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      if (item != nullptr && item->CtlType != ODT_MENU) child = item->hwndItem;
      break;
    }
    case WM_MEASUREITEM: {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (item != nullptr && item->CtlType != ODT_MENU)
        child = ::GetDlgItem(m_hWnd, static_cast<int>(item->CtlID));
      break;
    }
    case WM_COMPAREITEM:
      if (lParam != 0) child = reinterpret_cast<COMPAREITEMSTRUCT*>(lParam)->hwndItem;
      break;
    case WM_DELETEITEM:
      if (lParam != 0) child = reinterpret_cast<DELETEITEMSTRUCT*>(lParam)->hwndItem;
      break;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_HSCROLL:
    case WM_VSCROLL:
      child = reinterpret_cast<HWND>(lParam);  // 0 for a window's own scroll bars
      break;
    default:
      return FALSE;
  }
  if (child == nullptr || child == m_hWnd) return FALSE;
  CWnd* control = FromHandlePermanent(child);
  if (control == nullptr) return FALSE;
  LRESULT result = 0;
  if (!control->OnChildNotify(message, wParam, lParam, &result)) return FALSE;
  *pResult = result;
  return TRUE;
}

LRESULT CWnd::WindowProc(UINT, WPARAM, LPARAM) { return Default(); }

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) { return FALSE; }

LRESULT CWnd::Default() {
  return DefWindowProc(m_msgCur.message, m_msgCur.wParam, m_msgCur.lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_hWnd == nullptr) return 0;
  if (m_pfnSuper != nullptr) return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
  return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
  return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
  return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::SendDlgItemMessage(int id, UINT message, WPARAM wParam, LPARAM lParam) const {
  return ::SendDlgItemMessageA(m_hWnd, id, message, wParam, lParam);
}

BOOL CWnd::UpdateData(BOOL saveAndValidate) {
  CDataExchange dx(this, saveAndValidate);
  DoDataExchange(&dx);
  return !dx.m_bFailed;
}

// ---------------------------------------------------------------------------
// Thin wrappers
// ---------------------------------------------------------------------------

int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
CWnd* CWnd::GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }
CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
void CWnd::SetWindowText(LPCSTR text) { ::SetWindowTextA(m_hWnd, text); }
int CWnd::GetWindowText(LPSTR buffer, int maxCount) const {
  return ::GetWindowTextA(m_hWnd, buffer, maxCount);
}
std::string fwinternal::WindowText(HWND window) {
  if (window == nullptr) return std::string();
  int length = ::GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(std::max(length, 0)) + 1, '\0');
  int got = ::GetWindowTextA(window, &text[0], static_cast<int>(text.size()));
  text.resize(static_cast<size_t>(std::max(got, 0)));
  return text;
}
void CWnd::GetWindowText(std::string& text) const { text = fwinternal::WindowText(m_hWnd); }
int CWnd::GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }
void CWnd::SetDlgItemText(int id, LPCSTR text) { ::SetDlgItemTextA(m_hWnd, id, text); }
int CWnd::GetDlgItemText(int id, LPSTR buffer, int maxCount) const {
  return static_cast<int>(::GetDlgItemTextA(m_hWnd, id, buffer, maxCount));
}
void CWnd::GetDlgItemText(int id, std::string& text) const {
  text = fwinternal::WindowText(::GetDlgItem(m_hWnd, id));
}
void CWnd::CheckDlgButton(int id, UINT check) { ::CheckDlgButton(m_hWnd, id, check); }
UINT CWnd::IsDlgButtonChecked(int id) const { return ::IsDlgButtonChecked(m_hWnd, id); }
void CWnd::CheckRadioButton(int firstId, int lastId, int checkId) {
  ::CheckRadioButton(m_hWnd, firstId, lastId, checkId);
}
int CWnd::GetCheckedRadioButton(int firstId, int lastId) const {
  for (int id = firstId; id <= lastId; ++id)
    if (::IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED) return id;
  return 0;
}

BOOL CWnd::EnableWindow(BOOL enable) { return ::EnableWindow(m_hWnd, enable); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
BOOL CWnd::ShowWindow(int cmdShow) { return ::ShowWindow(m_hWnd, cmdShow); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
BOOL CWnd::IsIconic() const { return ::IsIconic(m_hWnd); }
DWORD CWnd::GetStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)); }
DWORD CWnd::GetExStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE)); }

namespace {
BOOL ModifyLong(HWND hWnd, int index, DWORD remove, DWORD add, UINT flags) {
  DWORD style = static_cast<DWORD>(::GetWindowLongA(hWnd, index));
  DWORD changed = (style & ~remove) | add;
  if (style == changed) return FALSE;
  ::SetWindowLongA(hWnd, index, static_cast<LONG>(changed));
  if (flags != 0)
    ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
  return TRUE;
}
}  // namespace

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT flags) {
  return ModifyLong(m_hWnd, GWL_STYLE, remove, add, flags);
}
BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT flags) {
  return ModifyLong(m_hWnd, GWL_EXSTYLE, remove, add, flags);
}

void CWnd::Invalidate(BOOL erase) { ::InvalidateRect(m_hWnd, nullptr, erase); }
void CWnd::InvalidateRect(LPCRECT rect, BOOL erase) { ::InvalidateRect(m_hWnd, rect, erase); }
void CWnd::ValidateRect(LPCRECT rect) { ::ValidateRect(m_hWnd, rect); }
void CWnd::UpdateWindow() { ::UpdateWindow(m_hWnd); }
BOOL CWnd::RedrawWindow(LPCRECT rect, HRGN region, UINT flags) {
  return ::RedrawWindow(m_hWnd, rect, region, flags);
}
void CWnd::SetRedraw(BOOL redraw) { ::SendMessageA(m_hWnd, WM_SETREDRAW, redraw, 0); }
HDC CWnd::GetDC() { return ::GetDC(m_hWnd); }
int CWnd::ReleaseDC(HDC hDC) { return ::ReleaseDC(m_hWnd, hDC); }
int CWnd::SetWindowRgn(HRGN region, BOOL redraw) { return ::SetWindowRgn(m_hWnd, region, redraw); }

void CWnd::GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
void CWnd::GetWindowRect(LPRECT rect) const { ::GetWindowRect(m_hWnd, rect); }
void CWnd::ScreenToClient(LPPOINT point) const { ::ScreenToClient(m_hWnd, point); }
void CWnd::ScreenToClient(LPRECT rect) const {
  ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<LPPOINT>(rect), 2);
}
void CWnd::ClientToScreen(LPPOINT point) const { ::ClientToScreen(m_hWnd, point); }
void CWnd::ClientToScreen(LPRECT rect) const {
  ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<LPPOINT>(rect), 2);
}
BOOL CWnd::SetWindowPos(const CWnd* pInsertAfter, int x, int y, int cx, int cy, UINT flags) {
  return ::SetWindowPos(m_hWnd, pInsertAfter ? pInsertAfter->m_hWnd : nullptr, x, y, cx, cy, flags);
}
void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
  ::MoveWindow(m_hWnd, x, y, width, height, repaint);
}
void CWnd::MoveWindow(LPCRECT rect, BOOL repaint) {
  ::MoveWindow(m_hWnd, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
               repaint);
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc) {
  return ::SetTimer(m_hWnd, id, elapse, proc);
}
BOOL CWnd::KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
CWnd* CWnd::SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
BOOL CWnd::ReleaseCapture() { return ::ReleaseCapture(); }
CWnd* CWnd::GetCapture() { return FromHandle(::GetCapture()); }
CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
CWnd* CWnd::GetFocus() { return FromHandle(::GetFocus()); }
CWnd* CWnd::WindowFromPoint(POINT point) { return FromHandle(::WindowFromPoint(point)); }

int CWnd::GetScrollPos(int bar) const { return ::GetScrollPos(m_hWnd, bar); }
BOOL CWnd::GetScrollInfo(int bar, LPSCROLLINFO info, UINT mask) const {
  info->cbSize = sizeof(SCROLLINFO);
  info->fMask = mask;
  return ::GetScrollInfo(m_hWnd, bar, info);
}
int CWnd::GetScrollLimit(int bar) const {
  SCROLLINFO info{};
  if (!GetScrollInfo(bar, &info, SIF_RANGE | SIF_PAGE)) return 0;
  int page = static_cast<int>(info.nPage);
  int limit = info.nMax - std::max(page - 1, 0);
  // A page larger than the range means there is nothing to scroll: the limit
  // is the range's start, never below it.
  return std::max(limit, info.nMin);
}

BOOL CWnd::ShowScrollBar(int bar, BOOL show) { return ::ShowScrollBar(m_hWnd, bar, show); }

void CWnd::SetFont(CFont* pFont, BOOL redraw) {
  ::SendMessageA(m_hWnd, WM_SETFONT,
                 reinterpret_cast<WPARAM>(pFont ? pFont->m_hObject : nullptr), redraw);
}
HFONT CWnd::GetFont() const {
  return reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
}
HICON CWnd::SetIcon(HICON hIcon, BOOL bigIcon) {
  return reinterpret_cast<HICON>(::SendMessageA(m_hWnd, WM_SETICON, bigIcon ? ICON_BIG : ICON_SMALL,
                                                reinterpret_cast<LPARAM>(hIcon)));
}

int CWnd::MessageBox(LPCSTR text, LPCSTR caption, UINT type) {
  return AfxMessageBox(m_hWnd, text, caption, type);
}

CWnd* CWnd::GetSafeOwner(CWnd* pParent) {
  return FromHandle(fwinternal::SafeOwner(pParent ? pParent->m_hWnd : nullptr));
}

HWND fwinternal::SafeOwner(HWND parent) {
  HWND hWnd = parent;
  if (hWnd == nullptr) {
    if (CWnd* main = AfxGetMainWnd()) hWnd = main->m_hWnd;
  }
  if (hWnd == nullptr || !::IsWindow(hWnd)) hWnd = ::GetActiveWindow();
  if (hWnd == nullptr) return nullptr;
  // A pop-up cannot be owned by a child window.
  while (hWnd != nullptr && (::GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD)) hWnd = ::GetParent(hWnd);
  if (hWnd == nullptr) return nullptr;
  // Without an explicit parent the owner is the window the user works in now:
  // the last active pop-up (an open modal dialog) of that top-level window.
  if (parent == nullptr) {
    HWND popup = ::GetLastActivePopup(hWnd);
    if (popup != nullptr && ::IsWindowVisible(popup)) hWnd = popup;
  }
  return hWnd;
}
