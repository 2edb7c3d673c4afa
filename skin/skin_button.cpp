#include "skin_button.h"

CSkinButton::CSkinButton() = default;

CSkinButton::~CSkinButton() { DeleteImages(); }

void CSkinButton::DeleteImages() {
  m_normal.DeleteObject();
  m_pressed.DeleteObject();
  m_disabled.DeleteObject();
  m_hoverImage.DeleteObject();
}

void CSkinButton::SetSkin(UINT normal, UINT pressed, UINT hover, UINT disabled) {
  DeleteImages();
  if (normal != 0) m_normal.LoadBitmap(normal);
  if (pressed != 0) m_pressed.LoadBitmap(pressed);
  if (hover != 0) m_hoverImage.LoadBitmap(hover);
  if (disabled != 0)
    m_disabled.LoadBitmap(disabled);
  else if (normal != 0)
    m_disabled.LoadBitmap(normal);
  if (m_hWnd != nullptr) Invalidate();
}

bool CSkinButton::HasImage(int face) const {
  switch (face) {
    case 0: return m_normal.GetSafeHandle() != nullptr;
    case 1: return m_pressed.GetSafeHandle() != nullptr;
    case 2: return m_disabled.GetSafeHandle() != nullptr;
    case 3: return m_hoverImage.GetSafeHandle() != nullptr;
  }
  return false;
}

void CSkinButton::PreSubclassWindow() {
  m_kind = static_cast<int>(GetStyle() & BS_TYPEMASK);
  CButton::PreSubclassWindow();
  ModifyStyle(0, BS_OWNERDRAW);
}

void CSkinButton::DrawFace(CDC& dc, const CRect& rect, CBitmap& image) {
  if (image.GetSafeHandle() == nullptr) {
    dc.FillRect(rect, GetSysColorBrush(COLOR_BTNFACE));
    return;
  }
  CDC memory;
  if (!memory.CreateCompatibleDC(&dc)) {
    dc.FillRect(rect, GetSysColorBrush(COLOR_BTNFACE));
    return;
  }
  HBITMAP old = memory.SelectObject(&image);
  dc.BitBlt(rect.left, rect.top, rect.Width(), rect.Height(), &memory, 0, 0, SRCCOPY);
  memory.SelectObject(old);
}

void CSkinButton::DrawItem(LPDRAWITEMSTRUCT drawItem) {
  // While a press is followed, the pushed look must match where the pointer
  // is; a state change repaints, so this paint stops here.
  if (m_tracking && GetCapture() == this) {
    POINT cursor;
    if (GetCursorPos(&cursor)) {
      bool over = WindowFromPoint(cursor) == this;
      bool pushed = (GetState() & BST_PUSHED) != 0;
      if (over && !pushed) {
        SetState(TRUE);
        return;
      }
      if (!over && pushed) {
        SetState(FALSE);
        return;
      }
    }
  }

  CDCHandle dc(drawItem->hDC);
  CRect rect(drawItem->rcItem);
  UINT state = drawItem->itemState;

  // The window text names the button for screen readers; the bitmap is the
  // whole face and the text is not drawn.
  if (state & ODS_DISABLED) {
    DrawFace(dc, rect, m_disabled);
  } else if (state & ODS_SELECTED) {
    DrawFace(dc, rect, m_pressed);
  } else if (m_hover && m_hoverImage.GetSafeHandle() != nullptr) {
    DrawFace(dc, rect, m_hoverImage);
  } else {
    DrawFace(dc, rect, m_normal);
  }

  // Every paint redraws the whole face, so the rectangle shows exactly while
  // the button has the keyboard focus (the system repaints on focus
  // changes). Where Windows hides focus cues until a key is used, it says so
  // with ODS_NOFOCUSRECT, as for its own buttons.
  if ((state & ODS_FOCUS) && !(state & ODS_NOFOCUSRECT)) {
    CRect focus = rect;
    focus.DeflateRect(kFocusInset, kFocusInset);
    dc.DrawFocusRect(focus);
  }
}

void CSkinButton::NotifyClicked() {
  if (CWnd* parent = GetParent())
    parent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), BN_CLICKED), reinterpret_cast<LPARAM>(m_hWnd));
}

bool CSkinButton::TrackLeave(DWORD flags) {
  TRACKMOUSEEVENT track;
  track.cbSize = sizeof(track);
  track.dwFlags = flags;
  track.hwndTrack = m_hWnd;
  track.dwHoverTime = 0;
  return _TrackMouseEvent(&track) != FALSE;
}

LRESULT CSkinButton::OnLButtonDown() {
  if (m_hover && TrackLeave(TME_CANCEL | TME_LEAVE)) m_hover = 0;
  LRESULT result = Default();
  m_tracking = 1;
  return result;
}

LRESULT CSkinButton::OnMouseMove(LPARAM lParam) {
  if (m_tracking && GetCapture() == this) {
    CPoint point(lParam);
    ClientToScreen(&point);
    BOOL over = WindowFromPoint(point) == this ? TRUE : FALSE;
    BOOL pushed = (GetState() & BST_PUSHED) ? TRUE : FALSE;
    if (over != pushed) {
      SetState(over);
      Invalidate(TRUE);
    }
  } else if (!m_hover) {
    if (TrackLeave(TME_LEAVE)) {
      m_hover = 1;
      Invalidate(TRUE);
    }
  }
  return Default();
}

LRESULT CSkinButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return TRUE;
    case WM_LBUTTONDOWN:
      return OnLButtonDown();
    case WM_MOUSEMOVE:
      return OnMouseMove(lParam);
    case WM_MOUSELEAVE:
      m_hover = 0;
      Invalidate(TRUE);
      return 0;
    case WM_LBUTTONUP:
      m_tracking = 0;
      return Default();
    case WM_LBUTTONDBLCLK:
      // A double click is a second press.
      SendMessage(WM_LBUTTONDOWN, wParam, lParam);
      return 0;
    case WM_GETDLGCODE:
      // The dialog manager would take Enter for the dialog's default button;
      // asking for it makes Enter reach the focused button.
      if (const MSG* msg = reinterpret_cast<const MSG*>(lParam))
        if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) return Default() | DLGC_WANTMESSAGE;
      return Default();
    case WM_KEYDOWN:
      // Enter presses the button once per press (held, it does not repeat);
      // Space is the system button's own: pushed while held, clicked on
      // release.
      if (wParam == VK_RETURN) {
        if (!(lParam & kKeyWasDown)) NotifyClicked();
        return 0;
      }
      return Default();
    case WM_KILLFOCUS:
      if (GetCapture() == this) {
        ReleaseCapture();
        m_tracking = 0;
      }
      return Default();
    case BM_SETCHECK:
      m_check = (m_kind == BS_PUSHBUTTON || m_kind == BS_DEFPUSHBUTTON) ? 0 : static_cast<BYTE>(wParam);
      Invalidate(TRUE);
      return 0;
    case BM_GETCHECK:
      return m_check;
  }
  return CButton::WindowProc(message, wParam, lParam);
}
