#include "skin_list.h"

#include <cstring>

#include "memory_dc.h"
#include "resource.h"

namespace {

// Whether the row now being painted was selected. Custom-draw notifications
// of all skinned lists arrive one row at a time, pre-paint then post-paint,
// on the user-interface thread.
BYTE g_rowWasSelected = 0;

constexpr int kHeaderStripHeight = 17;
constexpr int kHeaderColumnBlitHeight = 24;
constexpr int kSeparatorWidth = 12;
constexpr UINT kHeaderTextFormat = DT_CENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;

}  // namespace

// ===========================================================================
// Header
// ===========================================================================

void CSkinHeaderCtrl::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  CMemoryDC surface(&dc, client);
  if (!surface.IsValid()) return;
  surface.FillSolidRect(client, RGB(0, 0, 0));

  CBitmap strip, separator;
  strip.LoadBitmap(IDB_HEADER_STRIP);
  separator.LoadBitmap(IDB_HEADER_SEPARATOR);
  CDC source;
  source.CreateCompatibleDC(&surface);
  const bool canCopy = source.GetSafeHdc() != nullptr;

  if (canCopy && strip.GetSafeHandle() != nullptr) {
    HBITMAP old = source.SelectObject(&strip);
    surface.StretchBlt(client.left, 0, client.Width(), kHeaderStripHeight, &source, 0, 0, 1,
                       kHeaderStripHeight, SRCCOPY);
    source.SelectObject(old);
  }

  const int count = GetItemCount();
  for (int i = 0; i < count; ++i) {
    char text[256] = {};
    HDITEMA item = {};
    item.mask = HDI_TEXT | HDI_FORMAT | HDI_ORDER;
    item.pszText = text;
    item.cchTextMax = 255;
    GetItem(i, &item);
    CRect r;
    GetItemRect(i, &r);

    if (canCopy && strip.GetSafeHandle() != nullptr) {
      HBITMAP old = source.SelectObject(&strip);
      for (int x = r.left; x <= r.right; ++x)
        surface.BitBlt(x, r.top, 1, kHeaderColumnBlitHeight, &source, 0, 0, SRCCOPY);
      source.SelectObject(old);
    }
    if (i > 0 && canCopy && separator.GetSafeHandle() != nullptr) {
      HBITMAP old = source.SelectObject(&separator);
      surface.StretchBlt(r.left - 2, 0, kSeparatorWidth, kHeaderStripHeight, &source, 0, 0,
                         kSeparatorWidth, kHeaderStripHeight, SRCCOPY);
      source.SelectObject(old);
    }

    LOGFONTA logFont = {};
    logFont.lfHeight = 14;
    lstrcpynA(logFont.lfFaceName, "Tahoma 14", LF_FACESIZE);
    CFont font;
    font.CreateFontIndirect(&logFont);
    HFONT oldFont = font.GetSafeHandle() != nullptr ? surface.SelectObject(&font) : nullptr;
    int oldMode = surface.SetBkMode(TRANSPARENT);

    CRect textRect = r;
    textRect.DeflateRect(2, 2);
    std::memset(text, 0, sizeof(text));
    item.mask = HDI_TEXT;
    item.pszText = text;
    item.cchTextMax = 255;
    GetItem(i, &item);
    surface.DrawText(text, textRect, kHeaderTextFormat);

    surface.SetBkMode(oldMode);
    if (oldFont != nullptr) surface.SelectObject(oldFont);
  }
  surface.Finish();
}

LRESULT CSkinHeaderCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_ERASEBKGND:
      return FALSE;
  }
  return CHeaderCtrl::WindowProc(message, wParam, lParam);
}

// ===========================================================================
// List
// ===========================================================================

void CSkinListCtrl::PreSubclassWindow() {
  if (CHeaderCtrl* header = GetHeaderCtrl()) {
    if (header->m_hWnd != nullptr && header != &m_header) m_header.SubclassWindow(header->m_hWnd);
  }
  CListCtrl::PreSubclassWindow();
}

// The list view shows its own bars again whenever its scroll range or page
// changes (rows or columns added, a resize): SetScrollInfo sets WS_VSCROLL or
// WS_HSCROLL and has the frame computed anew, under Wine as on Windows, and
// that computation comes here first as WM_NCCALCSIZE. Hiding the bars then,
// before the default handling sizes the client area, leaves the whole
// control to the rows, and nothing of the bars is ever drawn. The range and
// position stay with the window (GetScrollInfo reads them while the bars are
// hidden) and the list still scrolls by keyboard, wheel and WM_VSCROLL /
// WM_HSCROLL, so the skinned bars follow it as before. Flat scroll bars
// (InitializeFlatSB) are not used: Wine draws them as ordinary bars, which
// SetScrollInfo enables again, and where they are flat they still take
// their room in the client area.
void CSkinListCtrl::HideOwnScrollBars() {
  if (GetStyle() & (WS_VSCROLL | WS_HSCROLL)) ShowScrollBar(SB_BOTH, FALSE);
}

void CSkinListCtrl::AttachScrollBars() {
  HideOwnScrollBars();
  CWnd* parent = GetParent();
  if (m_vbar.m_hWnd == nullptr) m_vbar.Create(parent, this);
  if (m_hbar.m_hWnd == nullptr) m_hbar.Create(parent, this);
  m_vbar.SetList(this);
  m_hbar.SetList(this);
  PlaceScrollBars();
}

void CSkinListCtrl::PlaceScrollBars() {
  CWnd* parent = GetParent();
  if (parent == nullptr) return;
  CRect list;
  GetWindowRect(&list);
  parent->ScreenToClient(&list);
  if (m_vbar.m_hWnd != nullptr)
    m_vbar.SetWindowPos(nullptr, list.right, list.top, 14, list.Height() - 1, SWP_NOZORDER);
  if (m_hbar.m_hWnd != nullptr)
    m_hbar.SetWindowPos(nullptr, list.left, list.bottom, list.Width() - 2, 14, SWP_NOZORDER);
  m_hbar.SyncThumb();
  m_vbar.SyncThumb();
}

void CSkinListCtrl::SyncBars() {
  m_vbar.SyncThumb();
  m_hbar.SyncThumb();
}

void CSkinListCtrl::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  CMemoryDC surface(&dc, client);

  if (CWnd* header = GetDlgItem(0)) {
    CRect headerRect;
    header->GetWindowRect(&headerRect);
    ScreenToClient(&headerRect);
    dc.ExcludeClipRect(&headerRect);
  }

  CRect clip;
  surface.GetClipBox(&clip);
  surface.FillSolidRect(clip, RGB(255, 255, 255));
  SetTextBkColor(RGB(255, 255, 255));
  SyncBars();

  m_flippedRows.clear();
  if (surface.IsValid()) DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(surface.GetSafeHdc()), 0);
  surface.Finish();
  // Taking a row's selection away and giving it back invalidates the row,
  // which was painted in between; without this every paint would ask for
  // the next one.
  for (int row : m_flippedRows) {
    CRect rowRect;
    if (GetItemRect(row, &rowRect, LVIR_BOUNDS)) ValidateRect(&rowRect);
  }
  m_flippedRows.clear();
}

LRESULT CSkinListCtrl::OnCustomDraw(NMLVCUSTOMDRAW* draw) {
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
      int row = static_cast<int>(draw->nmcd.dwItemSpec);
      g_rowWasSelected = (GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) ? 1 : 0;
      if (g_rowWasSelected) {
        draw->clrText = selectedTextColor;
        draw->clrTextBk = selectedBackColor;
        // Painted as an ordinary row in these colours instead of the system
        // highlight; the selection comes back at post-paint.
        draw->nmcd.uItemState &= ~CDIS_SELECTED;
        SetItemState(row, 0, LVIS_SELECTED);
      }
      return CDRF_NOTIFYPOSTPAINT;
    }
    case CDDS_ITEMPOSTPAINT:
      if (g_rowWasSelected) {
        int row = static_cast<int>(draw->nmcd.dwItemSpec);
        SetItemState(row, 0xFF, LVIS_SELECTED);
        m_flippedRows.push_back(row);
      }
      return CDRF_DODEFAULT;
  }
  return CDRF_DODEFAULT;
}

BOOL CSkinListCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message == WM_NOTIFY) {
    NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
    if (header != nullptr && header->hwndFrom == m_hWnd && header->code == NM_CUSTOMDRAW) {
      *pResult = OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(lParam));
      return TRUE;
    }
  }
  return CListCtrl::OnChildNotify(message, wParam, lParam, pResult);
}

LRESULT CSkinListCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCALCSIZE:
      HideOwnScrollBars();
      UpdateWindow();
      return Default();
    case WM_MOUSEWHEEL:
    case WM_KEYDOWN:
    case WM_KEYUP:
      SyncBars();
      return Default();
    case WM_ERASEBKGND:
      SyncBars();
      return FALSE;
    case WM_PAINT:
      OnPaint();
      return 0;
  }
  return CListCtrl::WindowProc(message, wParam, lParam);
}
