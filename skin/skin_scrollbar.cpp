#include "skin_scrollbar.h"

#include "memory_dc.h"
#include "resource.h"
#include "skin_geometry.h"
#include "skin_list.h"

namespace {

constexpr DWORD kBarStyle = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_NOTIFY;
constexpr UINT kBarId = 0xFFFF;

// Copies (x, y, width, height) of a bitmap's origin onto dst through src.
void Blit(CDC& dst, CDC& src, CBitmap& bitmap, int x, int y, int width, int height) {
  if (bitmap.GetSafeHandle() == nullptr || src.GetSafeHdc() == nullptr) return;
  HBITMAP old = src.SelectObject(&bitmap);
  dst.BitBlt(x, y, width, height, &src, 0, 0, SRCCOPY);
  src.SelectObject(old);
}

void Stretch(CDC& dst, CDC& src, CBitmap& bitmap, int x, int y, int width, int height,
             int srcWidth, int srcHeight) {
  if (bitmap.GetSafeHandle() == nullptr || src.GetSafeHdc() == nullptr) return;
  HBITMAP old = src.SelectObject(&bitmap);
  dst.StretchBlt(x, y, width, height, &src, 0, 0, srcWidth, srcHeight, SRCCOPY);
  src.SelectObject(old);
}

}  // namespace

// ===========================================================================
// Vertical bar
// ===========================================================================

BOOL CSkinVScrollBar::Create(CWnd* pParent, CSkinListCtrl* list) {
  m_list = list;
  return CStatic::Create("", kBarStyle, CRect(0, 0, 0, 0), pParent, kBarId);
}

int CSkinVScrollBar::Height() const {
  CRect client;
  GetClientRect(&client);
  return client.Height();
}

int CSkinVScrollBar::Limit() const {
  return (m_list != nullptr && m_list->m_hWnd != nullptr) ? m_list->GetScrollLimit(SB_VERT) : 0;
}

void CSkinVScrollBar::ClampThumb() { m_thumbPos = ClampVThumb(m_thumbPos, Height()); }

void CSkinVScrollBar::SyncThumb() {
  if (m_hWnd == nullptr || m_list == nullptr || m_list->m_hWnd == nullptr) return;
  int height = Height();
  int limit = Limit();
  int position = m_list->GetScrollPos(SB_VERT);
  m_scrollScale = VScrollScale(height, limit);
  m_thumbPos = VThumbForPosition(position, limit, height);
  ClampThumb();
  Paint();
}

void CSkinVScrollBar::Paint() {
  if (m_hWnd == nullptr) return;
  CRect client;
  GetClientRect(&client);
  CClientDC dc(this);
  CMemoryDC surface(&dc, client);
  if (!surface.IsValid()) return;
  const int h = client.Height();
  surface.FillSolidRect(client, RGB(0, 0, 0));

  const bool scrollable = Limit() != 0;
  CBitmap track, up, down, thumb;
  track.LoadBitmap(scrollable ? IDB_VSCROLL_TRACK : IDB_VSCROLL_TRACK_OFF);
  up.LoadBitmap(scrollable ? IDB_VSCROLL_UP : IDB_VSCROLL_UP_OFF);
  down.LoadBitmap(scrollable ? IDB_VSCROLL_DOWN : IDB_VSCROLL_DOWN_OFF);
  if (scrollable) thumb.LoadBitmap(IDB_VSCROLL_THUMB);

  CDC source;
  source.CreateCompatibleDC(&surface);
  Stretch(surface, source, track, 0, 9, 18, h - 18, 18, 1);
  Blit(surface, source, up, 0, 0, 14, 18);
  Blit(surface, source, down, 0, h - 16, 14, 18);
  if (scrollable) Blit(surface, source, thumb, 0, m_thumbPos - 4, 14, kThumbLength);
}

void CSkinVScrollBar::Request(UINT code) {
  if (m_list != nullptr && m_list->m_hWnd != nullptr)
    m_list->SendMessage(WM_VSCROLL, MAKEWPARAM(code, 0), 0);
  SyncThumb();
}

void CSkinVScrollBar::Reset() {
  m_upPressed = 0;
  m_downPressed = 0;
  m_grabbed = 0;
}

void CSkinVScrollBar::OnLButtonDown(int x, int y) {
  SetCapture();
  int height = Height();
  if (InZone(VThumbZone(m_thumbPos), x, y)) m_grabbed = 1;
  if (InZone(VDownZone(height), x, y)) {
    m_downPressed = 1;
    SetTimer(kRepeatDelayTimer, kRepeatDelayMs);
  }
  if (InZone(VUpPressZone(), x, y)) {
    m_upPressed = 1;
    SetTimer(kRepeatDelayTimer, kRepeatDelayMs);
  }
}

void CSkinVScrollBar::OnLButtonUp(int x, int y) {
  SyncThumb();
  KillTimer(kRepeatTimer);
  KillTimer(kRepeatDelayTimer);
  m_releasing = true;
  ReleaseCapture();
  m_releasing = false;

  bool lineRequest = false;
  if (InZone(VUpReleaseZone(), x, y) && m_upPressed) {
    Request(SB_LINEUP);
    lineRequest = true;
  }
  if (InZone(VDownZone(Height()), x, y) && m_downPressed) {
    Request(SB_LINEDOWN);
    lineRequest = true;
  }
  if (!lineRequest && !InZone(VThumbZone(m_thumbPos), x, y) && !m_grabbed)
    Request(m_thumbPos < y ? SB_PAGEDOWN : SB_PAGEUP);
  Reset();
}

void CSkinVScrollBar::OnMouseMove(int y) {
  if (!m_grabbed) return;
  m_thumbPos = y - 13;
  if (m_list != nullptr && m_list->m_hWnd != nullptr) {
    int height = Height();
    int limit = Limit();
    int position = m_list->GetScrollPos(SB_VERT);
    m_scrollScale = double(height - 80) / double(limit);
    CRect row;
    int rowHeight = m_list->GetItemRect(0, &row, LVIR_BOUNDS) ? row.Height() : 0;
    int target = VDragTarget(m_thumbPos, limit, height, position);
    m_list->Scroll(CSize(0, rowHeight * (target - position)));
  }
  ClampThumb();
  Paint();
}

void CSkinVScrollBar::OnTimer(UINT_PTR id) {
  if (id == kRepeatDelayTimer) {
    KillTimer(kRepeatDelayTimer);
    SetTimer(kRepeatTimer, kRepeatPeriodMs);
  } else if (id == kRepeatTimer) {
    if (m_downPressed) Request(SB_LINEDOWN);
    if (m_upPressed) Request(SB_LINEUP);
  }
}

LRESULT CSkinVScrollBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_PAINT: {
    { CPaintDC validate(this); }
    Paint();
    return 0;
  }
  case WM_LBUTTONDOWN:
  case WM_LBUTTONDBLCLK: {   // a quick second click is a second press
    CPoint point(lParam);
    OnLButtonDown(point.x, point.y);
    break;
  }
  case WM_LBUTTONUP: {
    CPoint point(lParam);
    OnLButtonUp(point.x, point.y);
    break;
  }
  case WM_MOUSEMOVE:
    OnMouseMove(CPoint(lParam).y);
    break;
  case WM_TIMER:
    OnTimer(wParam);
    break;
  case WM_CAPTURECHANGED:
    // Capture taken away mid-press (another window, a message box): the
    // release will never come, so nothing may keep repeating.
    if (!m_releasing && reinterpret_cast<HWND>(lParam) != m_hWnd) {
      KillTimer(kRepeatTimer);
      KillTimer(kRepeatDelayTimer);
      Reset();
    }
    break;
  }
  return CStatic::WindowProc(message, wParam, lParam);
}

// ===========================================================================
// Horizontal bar
// ===========================================================================

BOOL CSkinHScrollBar::Create(CWnd* pParent, CSkinListCtrl* list) {
  m_list = list;
  return CStatic::Create("", kBarStyle, CRect(0, 0, 0, 0), pParent, kBarId);
}

int CSkinHScrollBar::Width() const {
  CRect client;
  GetClientRect(&client);
  return client.Width();
}

int CSkinHScrollBar::Limit() const {
  return (m_list != nullptr && m_list->m_hWnd != nullptr) ? m_list->GetScrollLimit(SB_HORZ) : 0;
}

void CSkinHScrollBar::ClampThumb() { m_thumbPos = ClampHThumb(m_thumbPos, Width()); }

void CSkinHScrollBar::SyncThumb() {
  if (m_hWnd == nullptr || m_list == nullptr || m_list->m_hWnd == nullptr) return;
  int width = Width();
  int limit = Limit();
  int position = m_list->GetScrollPos(SB_HORZ);
  m_scrollScale = HScrollScale(width, limit);
  m_thumbPos = HThumbForPosition(position, limit, width);
  ClampThumb();
  Paint();
}

void CSkinHScrollBar::Paint() {
  if (m_hWnd == nullptr) return;
  CRect client;
  GetClientRect(&client);
  CClientDC dc(this);
  CMemoryDC surface(&dc, client);
  if (!surface.IsValid()) return;
  const int w = client.Width();
  surface.FillSolidRect(client, RGB(255, 255, 255));

  const bool scrollable = Limit() != 0;
  CBitmap track, left, right, thumb;
  track.LoadBitmap(scrollable ? IDB_HSCROLL_TRACK : IDB_HSCROLL_TRACK_OFF);
  left.LoadBitmap(scrollable ? IDB_HSCROLL_LEFT : IDB_HSCROLL_LEFT_OFF);
  right.LoadBitmap(scrollable ? IDB_HSCROLL_RIGHT : IDB_HSCROLL_RIGHT_OFF);
  if (scrollable) thumb.LoadBitmap(IDB_HSCROLL_THUMB);

  CDC source;
  source.CreateCompatibleDC(&surface);
  Stretch(surface, source, track, 15, 0, w - 27, 18, 1, 18);
  Blit(surface, source, left, 0, 0, 16, 14);
  Blit(surface, source, right, w - 16, 0, 16, 14);
  if (scrollable) Blit(surface, source, thumb, m_thumbPos - 4, 0, kThumbLength, kThumbLength);
}

void CSkinHScrollBar::Request(UINT code) {
  if (m_list != nullptr && m_list->m_hWnd != nullptr)
    m_list->SendMessage(WM_HSCROLL, MAKEWPARAM(code, 0), 0);
  SyncThumb();
}

void CSkinHScrollBar::Reset() {
  m_rightPressed = 0;
  m_leftPressed = 0;
  m_grabbed = 0;
}

void CSkinHScrollBar::OnLButtonDown(int x, int y) {
  SetCapture();
  int width = Width();
  if (InZone(HThumbZone(m_thumbPos), x, y)) m_grabbed = 1;
  if (InZone(HRightZone(width), x, y)) {
    m_rightPressed = 1;
    SetTimer(kRepeatDelayTimer, kRepeatDelayMs);
  }
  if (InZone(HLeftZone(), x, y)) {
    m_leftPressed = 1;
    SetTimer(kRepeatDelayTimer, kRepeatDelayMs);
  }
}

void CSkinHScrollBar::OnLButtonUp(int x, int y) {
  SyncThumb();
  KillTimer(kRepeatTimer);
  KillTimer(kRepeatDelayTimer);
  m_releasing = true;
  ReleaseCapture();
  m_releasing = false;

  // Unlike the vertical bar, a release over an arrow scrolls one step
  // wherever the press began.
  bool lineRequest = false;
  if (InZone(HLeftZone(), x, y)) {
    Request(SB_LINELEFT);
    lineRequest = true;
  }
  if (InZone(HRightZone(Width()), x, y)) {
    Request(SB_LINERIGHT);
    lineRequest = true;
  }
  if (!lineRequest && !InZone(HThumbZone(m_thumbPos), x, y) && !m_grabbed)
    Request(m_thumbPos < x ? SB_PAGERIGHT : SB_PAGELEFT);
  Reset();
}

void CSkinHScrollBar::OnMouseMove(int x) {
  if (!m_grabbed) return;
  m_thumbPos = x - 13;
  if (m_list != nullptr && m_list->m_hWnd != nullptr) {
    int width = Width();
    int limit = Limit();
    int position = m_list->GetScrollPos(SB_HORZ);
    m_scrollScale = double(width - 75) / double(limit);
    int target = HDragTarget(m_thumbPos, limit, width, position);
    m_list->Scroll(CSize(target - position, 0));
  }
  ClampThumb();
  Paint();
}

void CSkinHScrollBar::OnTimer(UINT_PTR id) {
  if (id == kRepeatDelayTimer) {
    KillTimer(kRepeatDelayTimer);
    SetTimer(kRepeatTimer, kRepeatPeriodMs);
  } else if (id == kRepeatTimer) {
    if (m_rightPressed) Request(SB_LINERIGHT);
    if (m_leftPressed) Request(SB_LINELEFT);
  }
}

LRESULT CSkinHScrollBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_PAINT: {
    { CPaintDC validate(this); }
    Paint();
    return 0;
  }
  case WM_LBUTTONDOWN:
  case WM_LBUTTONDBLCLK: {
    CPoint point(lParam);
    OnLButtonDown(point.x, point.y);
    break;
  }
  case WM_LBUTTONUP: {
    CPoint point(lParam);
    OnLButtonUp(point.x, point.y);
    break;
  }
  case WM_MOUSEMOVE:
    OnMouseMove(CPoint(lParam).x);
    break;
  case WM_TIMER:
    OnTimer(wParam);
    break;
  case WM_CAPTURECHANGED:
    if (!m_releasing && reinterpret_cast<HWND>(lParam) != m_hWnd) {
      KillTimer(kRepeatTimer);
      KillTimer(kRepeatDelayTimer);
      Reset();
    }
    break;
  }
  return CStatic::WindowProc(message, wParam, lParam);
}
