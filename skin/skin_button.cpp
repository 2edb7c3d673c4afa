#include "skin_button.h"

#include <string>

CSkinButton::CSkinButton() : m_textColor(GetSysColor(COLOR_BTNTEXT)) {}

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

  std::string text;
  GetWindowText(text);
  int oldMode = dc.SetBkMode(TRANSPARENT);
  CRect textRect = rect;
  textRect.left += 2;
  textRect.right -= 2;

  if (state & ODS_DISABLED) {
    DrawFace(dc, rect, m_disabled);
  } else if (state & ODS_SELECTED) {
    DrawFace(dc, rect, m_pressed);
    textRect.OffsetRect(1, 1);
  } else if (m_hover && m_hoverImage.GetSafeHandle() != nullptr) {
    DrawFace(dc, rect, m_hoverImage);
  } else {
    DrawFace(dc, rect, m_normal);
  }

  const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
  COLORREF oldColor;
  if (state & ODS_DISABLED) {
    oldColor = dc.SetTextColor(GetSysColor(COLOR_BTNHIGHLIGHT));
    dc.DrawText(text, textRect, format);
    CRect engraved = textRect;
    engraved.OffsetRect(-1, -1);
    dc.SetTextColor(GetSysColor(COLOR_GRAYTEXT));
    dc.DrawText(text, engraved, format);
  } else {
    oldColor = dc.SetTextColor(m_textColor);
    dc.DrawText(text, textRect, format);
  }
  dc.SetTextColor(oldColor);
  dc.SetBkMode(oldMode);
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
