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
// Shared plumbing
// ===========================================================================

CSkinScrollBarBase::CSkinScrollBarBase(UINT scrollMessage, int bar, int initialThumb)
    : m_thumbPos(initialThumb), m_scrollMessage(scrollMessage), m_bar(bar) {}

BOOL CSkinScrollBarBase::Create(CWnd* pParent, CSkinListCtrl* list) {
  m_list = list;
  return CStatic::Create("", kBarStyle, CRect(0, 0, 0, 0), pParent, kBarId);
}

bool CSkinScrollBarBase::HasList() const { return m_list != nullptr && m_list->m_hWnd != nullptr; }

int CSkinScrollBarBase::Limit() const { return HasList() ? m_list->GetScrollLimit(m_bar) : 0; }

int CSkinScrollBarBase::Position() const { return HasList() ? m_list->GetScrollPos(m_bar) : 0; }

CRect CSkinScrollBarBase::Client() const {
  CRect client;
  GetClientRect(&client);
  return client;
}

void CSkinScrollBarBase::Request(UINT code) {
  if (HasList()) m_list->SendMessage(m_scrollMessage, MAKEWPARAM(code, 0), 0);
  SyncThumb();
}

void CSkinScrollBarBase::StartRepeatDelay() { SetTimer(kRepeatDelayTimer, kRepeatDelayMs); }

void CSkinScrollBarBase::StopTimers() {
  KillTimer(kRepeatTimer);
  KillTimer(kRepeatDelayTimer);
}

void CSkinScrollBarBase::ReleaseMouse() {
  m_releasing = true;
  ReleaseCapture();
  m_releasing = false;
}

void CSkinScrollBarBase::Reset() {
  m_firstPressed = 0;
  m_secondPressed = 0;
  m_grabbed = 0;
}

void CSkinScrollBarBase::OnTimer(UINT_PTR id) {
  if (id == kRepeatDelayTimer) {
    KillTimer(kRepeatDelayTimer);
    SetTimer(kRepeatTimer, kRepeatPeriodMs);
  } else if (id == kRepeatTimer) {
    if (m_secondPressed) Request(SB_LINEDOWN);  // SB_LINERIGHT
    if (m_firstPressed) Request(SB_LINEUP);  // SB_LINELEFT
  }
}

LRESULT CSkinScrollBarBase::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      {
        CPaintDC validate(this);
      }
      Paint();
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {  // a quick second click is a second press
      CPoint point(lParam);
      SetCapture();
      OnPress(point.x, point.y);
      break;
    }
    case WM_LBUTTONUP: {
      CPoint point(lParam);
      SyncThumb();
      StopTimers();
      ReleaseMouse();
      OnRelease(point.x, point.y);
      Reset();
      break;
    }
    case WM_MOUSEMOVE:
      if (m_grabbed) {
        CPoint point(lParam);
        OnDrag(point.x, point.y);
        ClampThumb();
        Paint();
      }
      break;
    case WM_TIMER:
      OnTimer(wParam);
      break;
    case WM_CAPTURECHANGED:
      // Capture taken away mid-press (another window, a message box): the
      // release will never come, so nothing may keep repeating.
      if (!m_releasing && reinterpret_cast<HWND>(lParam) != m_hWnd) {
        StopTimers();
        Reset();
      }
      break;
  }
  return CStatic::WindowProc(message, wParam, lParam);
}

// ===========================================================================
// Vertical bar
// ===========================================================================

CSkinVScrollBar::CSkinVScrollBar() : CSkinScrollBarBase(WM_VSCROLL, SB_VERT, kVThumbInitial) {}

void CSkinVScrollBar::ClampThumb() { m_thumbPos = ClampVThumb(m_thumbPos, Client().Height()); }

void CSkinVScrollBar::SyncThumb() {
  if (m_hWnd == nullptr || !HasList()) return;
  const int height = Client().Height(), limit = Limit();
  m_scrollScale = VScrollScale(height, limit);
  m_thumbPos = VThumbForPosition(Position(), limit, height);
  ClampThumb();
  Paint();
}

void CSkinVScrollBar::Paint() {
  if (m_hWnd == nullptr) return;
  const CRect client = Client();
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

void CSkinVScrollBar::OnPress(int x, int y) {
  if (InZone(VThumbZone(m_thumbPos), x, y)) m_grabbed = 1;
  if (InZone(VDownZone(Client().Height()), x, y)) {
    m_secondPressed = 1;
    StartRepeatDelay();
  }
  if (InZone(VUpPressZone(), x, y)) {
    m_firstPressed = 1;
    StartRepeatDelay();
  }
}

void CSkinVScrollBar::OnRelease(int x, int y) {
  // A line only where the press began on the same arrow; anything else
  // off the thumb is a click on the track.
  bool lineRequest = false;
  if (InZone(VUpReleaseZone(), x, y) && m_firstPressed) {
    Request(SB_LINEUP);
    lineRequest = true;
  }
  if (InZone(VDownZone(Client().Height()), x, y) && m_secondPressed) {
    Request(SB_LINEDOWN);
    lineRequest = true;
  }
  if (!lineRequest && !InZone(VThumbZone(m_thumbPos), x, y) && !m_grabbed)
    Request(m_thumbPos < y ? SB_PAGEDOWN : SB_PAGEUP);
}

void CSkinVScrollBar::OnDrag(int, int y) {
  m_thumbPos = y - 13;
  if (!HasList()) return;
  const int height = Client().Height(), limit = Limit(), position = Position();
  m_scrollScale = double(height - 80) / double(limit);
  CRect row;
  const int rowHeight = m_list->GetItemRect(0, &row, LVIR_BOUNDS) ? row.Height() : 0;
  const int target = VDragTarget(m_thumbPos, limit, height, position);
  m_list->Scroll(CSize(0, rowHeight * (target - position)));
}

// ===========================================================================
// Horizontal bar
// ===========================================================================

CSkinHScrollBar::CSkinHScrollBar() : CSkinScrollBarBase(WM_HSCROLL, SB_HORZ, kHThumbInitial) {}

void CSkinHScrollBar::ClampThumb() { m_thumbPos = ClampHThumb(m_thumbPos, Client().Width()); }

void CSkinHScrollBar::SyncThumb() {
  if (m_hWnd == nullptr || !HasList()) return;
  const int width = Client().Width(), limit = Limit();
  m_scrollScale = HScrollScale(width, limit);
  m_thumbPos = HThumbForPosition(Position(), limit, width);
  ClampThumb();
  Paint();
}

void CSkinHScrollBar::Paint() {
  if (m_hWnd == nullptr) return;
  const CRect client = Client();
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

void CSkinHScrollBar::OnPress(int x, int y) {
  const int width = Client().Width();
  if (InZone(HThumbZone(m_thumbPos), x, y)) m_grabbed = 1;
  if (InZone(HRightZone(width), x, y)) {
    m_secondPressed = 1;
    StartRepeatDelay();
  }
  if (InZone(HLeftZone(), x, y)) {
    m_firstPressed = 1;
    StartRepeatDelay();
  }
}

void CSkinHScrollBar::OnRelease(int x, int y) {
  // Unlike the vertical bar, a release over an arrow scrolls one step
  // wherever the press began.
  bool lineRequest = false;
  if (InZone(HLeftZone(), x, y)) {
    Request(SB_LINELEFT);
    lineRequest = true;
  }
  if (InZone(HRightZone(Client().Width()), x, y)) {
    Request(SB_LINERIGHT);
    lineRequest = true;
  }
  if (!lineRequest && !InZone(HThumbZone(m_thumbPos), x, y) && !m_grabbed)
    Request(m_thumbPos < x ? SB_PAGERIGHT : SB_PAGELEFT);
}

void CSkinHScrollBar::OnDrag(int x, int) {
  m_thumbPos = x - 13;
  if (!HasList()) return;
  const int width = Client().Width(), limit = Limit(), position = Position();
  m_scrollScale = double(width - 75) / double(limit);
  const int target = HDragTarget(m_thumbPos, limit, width, position);
  m_list->Scroll(CSize(target - position, 0));
}
