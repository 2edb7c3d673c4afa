// The skinned list and header: no scroll bars of the list's own and the
// rows that fit, selected-row colours with the selection kept, the white
// ground, painting that comes to rest, the header's strip, separators and
// titles.
#include "skin_dialogs.h"
#include "skin_list.h"
#include "skin_test_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace skintest;

namespace {

RECT RowRect(CListCtrl& list, int row) {
  RECT r = {};
  list.GetItemRect(row, &r, LVIR_BOUNDS);
  return r;
}

int Count(const Capture& shot, const RECT& r, COLORREF color) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y) n += shot.CountInRow(y, std::max<int>(r.left, 0), std::min<int>(r.right, shot.Width()), color);
  return n;
}

TEST(SkinList, SelectedRowIsBlackOnGreyAndStaysSelected) {
  MainStyleDialog dlg(3, 0);
  RunModal(dlg, [&dlg](CDialog&) {
    dlg.devices.SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    for (bool focused : {false, true}) {
      if (focused) dlg.devices.SetFocus();
      Settle(dlg.devices.m_hWnd);
      Capture shot(dlg.devices.m_hWnd);
      const char* when = focused ? "with the focus" : "without the focus";
      RECT selected = RowRect(dlg.devices, 1);
      selected.right = std::min<LONG>(selected.right, shot.Width());
      const int area = (selected.right - selected.left) * (selected.bottom - selected.top);
      int grey = Count(shot, selected, RGB(190, 190, 190));
      EXPECT_GT(grey * 2, area) << when << ": selected row ground, expected mostly RGB(190,190,190), got "
                                << grey << " of " << area << " pixels";
      EXPECT_GT(Count(shot, selected, RGB(0, 0, 0)), 10) << when << ": selected row text in black";
      EXPECT_EQ(0, Count(shot, selected, GetSysColor(COLOR_HIGHLIGHT))) << when << ": no system highlight";
      EXPECT_EQ(0, Count(shot, selected, GetSysColor(COLOR_HIGHLIGHTTEXT) == RGB(255, 255, 255) ? RGB(1, 2, 3) : GetSysColor(COLOR_HIGHLIGHTTEXT)))
          << when << ": no highlight text colour";

      RECT plain = RowRect(dlg.devices, 0);
      plain.right = std::min<LONG>(plain.right, shot.Width());
      const int plainArea = (plain.right - plain.left) * (plain.bottom - plain.top);
      EXPECT_GT(Count(shot, plain, RGB(255, 255, 255)) * 2, plainArea) << when << ": other rows on white";
      EXPECT_EQ(0, Count(shot, plain, RGB(190, 190, 190))) << when << ": other rows not grey";

      EXPECT_EQ(static_cast<UINT>(LVIS_SELECTED), dlg.devices.GetItemState(1, LVIS_SELECTED))
          << when << ": the list still reports row 1 selected after painting";
      EXPECT_EQ(1, dlg.devices.GetNextItem(-1, LVNI_SELECTED)) << when << ": the selected row";
    }
  });
}

// Where a list's client area lies in its window: the gaps on the left, top,
// right and bottom. A scroll bar of the list's own widens the right or the
// bottom gap by its width.
RECT ClientGaps(const CWnd& list) {
  RECT window, client;
  list.GetWindowRect(&window);
  list.GetClientRect(&client);
  list.ClientToScreen(&client);
  return {client.left - window.left, client.top - window.top, window.right - client.right,
          window.bottom - client.bottom};
}

// The list view shows its own bars again whenever its scroll range changes;
// after every such change the lists show none, and the client area spans the
// whole control within its border.
TEST(SkinList, OwnScrollBarsTakeNoRoomAfterAnyChange) {
  MainStyleDialog dlg(60, 40);
  RunModal(dlg, [&dlg](CDialog&) {
    struct Change {
      const char* what;
      std::function<void(RecordingList&)> apply;
    };
    const Change changes[] = {
        {"filled", [](RecordingList&) {}},
        {"rows added", [](RecordingList& l) {
           for (int i = 0; i < 20; ++i) l.InsertItem(l.GetItemCount(), "added");
         }},
        {"a column widened", [](RecordingList& l) { l.SendMessage(LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(400, 0)); }},
        {"resized", [](RecordingList& l) {
           CRect r;
           l.GetWindowRect(&r);
           l.SetWindowPos(nullptr, 0, 0, r.Width() + 10, r.Height() + 30, SWP_NOMOVE | SWP_NOZORDER);
         }},
        {"scrolled to the end", [](RecordingList& l) {
           l.SendMessage(LVM_ENSUREVISIBLE, l.GetItemCount() - 1, FALSE);
           l.Scroll(CSize(10000, 0));
         }},
        {"emptied and filled again", [](RecordingList& l) {
           l.DeleteAllItems();
           for (int i = 0; i < 60; ++i) l.InsertItem(i, "again");
         }},
    };
    for (RecordingList* list : {&dlg.devices, &dlg.shares}) {
      const char* name = list == &dlg.devices ? "device list" : "shares list";
      for (const Change& c : changes) {
        c.apply(*list);
        Settle(list->m_hWnd);
        ASSERT_GT(list->GetScrollLimit(SB_VERT), 0) << name << ", " << c.what << ": rows to scroll";
        EXPECT_EQ(0u, list->GetStyle() & (WS_VSCROLL | WS_HSCROLL)) << name << ", " << c.what << ": bars of its own shown";
        const RECT gaps = ClientGaps(*list);
        EXPECT_EQ(gaps.left, gaps.right) << name << ", " << c.what << ": room taken at the right";
        EXPECT_EQ(gaps.top, gaps.bottom) << name << ", " << c.what << ": room taken at the bottom";
        EXPECT_LE(gaps.left, 2) << name << ", " << c.what << ": expected no more than the border";
      }
    }
    ASSERT_GT(dlg.devices.GetScrollLimit(SB_HORZ), 0) << "the device list's columns must be wider than it";
    ASSERT_GT(dlg.shares.GetScrollLimit(SB_HORZ), 0) << "the shares list's widened column must be wider than it";
  });
}

// The device list of the main window's template, with columns wider than it
// (where a bar of its own took a row's room), shows four whole rows.
TEST(SkinList, DeviceListShowsFourWholeRows) {
  MainStyleDialog dlg(60, 0);
  RunModal(dlg, [&dlg](CDialog&) {
    Settle(dlg.devices.m_hWnd);
    ASSERT_GT(dlg.devices.GetScrollLimit(SB_HORZ), 0) << "the columns must be wider than the list";
    EXPECT_GE(dlg.devices.GetCountPerPage(), 4) << "whole rows in view (LVM_GETCOUNTPERPAGE)";
    CRect client;
    dlg.devices.GetClientRect(&client);
    EXPECT_LE(RowRect(dlg.devices, 3).bottom, client.bottom) << "the fourth row ends inside the list";
  });
}

TEST(SkinList, PaintingComesToRest) {
  MainStyleDialog dlg(3, 0);
  RunModal(dlg, [&dlg](CDialog&) {
    dlg.devices.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    Settle(dlg.devices.m_hWnd, 100);
    int before = dlg.devices.paints;
    fwtest::PumpMessages(300);
    EXPECT_EQ(before, dlg.devices.paints) << "a list with a selected row must not keep repainting itself";
    EXPECT_FALSE(::GetUpdateRect(dlg.devices.m_hWnd, nullptr, FALSE)) << "nothing left to paint";
  });
}

TEST(SkinList, EmptyListIsWhiteBelowTheHeader) {
  MainStyleDialog dlg(0, 0);
  RunModal(dlg, [&dlg](CDialog&) {
    Settle(dlg.devices.m_hWnd);
    Capture shot(dlg.devices.m_hWnd);
    RECT header;
    ::GetWindowRect(dlg.devices.Header().m_hWnd, &header);
    ::MapWindowPoints(nullptr, dlg.devices.m_hWnd, reinterpret_cast<POINT*>(&header), 2);
    RECT below = {0, header.bottom, shot.Width(), shot.Height()};
    const int area = (below.right - below.left) * (below.bottom - below.top);
    EXPECT_EQ(area, Count(shot, below, RGB(255, 255, 255))) << "empty list below its header: white pixels";
  });
}

// Dark pixels (letters) of a header rectangle.
std::vector<bool> Letters(const Capture& shot, const RECT& r) {
  std::vector<bool> mask;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) {
      COLORREF c = shot.At(x, y);
      mask.push_back(GetRValue(c) + GetGValue(c) + GetBValue(c) < 200);
    }
  return mask;
}

// The same text drawn the way a header title is drawn, on white.
std::vector<bool> Rendered(const char* text, const RECT& r, UINT format) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  HDC screen = ::GetDC(nullptr);
  HDC dc = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ oldBitmap = ::SelectObject(dc, bitmap);
  RECT all = {0, 0, w, h};
  ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  LOGFONTA lf = {};
  lf.lfHeight = 14;
  lstrcpyA(lf.lfFaceName, "Tahoma 14");
  HFONT font = ::CreateFontIndirectA(&lf);
  HGDIOBJ oldFont = ::SelectObject(dc, font);
  ::SetBkMode(dc, TRANSPARENT);
  ::DrawTextA(dc, text, -1, &all, format);
  std::vector<bool> mask;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      COLORREF c = ::GetPixel(dc, x, y);
      mask.push_back(GetRValue(c) + GetGValue(c) + GetBValue(c) < 200);
    }
  ::SelectObject(dc, oldFont);
  ::DeleteObject(font);
  ::SelectObject(dc, oldBitmap);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
  ::ReleaseDC(nullptr, screen);
  return mask;
}

TEST(SkinHeader, TitlesCentredAndCutWithAnEllipsis) {
  MainStyleDialog dlg(1, 0);
  RunModal(dlg, [&dlg](CDialog&) {
    const char* longTitle = "Address of the storage device";
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT;
    column.pszText = const_cast<char*>(longTitle);
    dlg.devices.SendMessage(LVM_SETCOLUMNA, 1, reinterpret_cast<LPARAM>(&column));
    CSkinHeaderCtrl& header = dlg.devices.Header();
    Settle(header.m_hWnd);
    Capture shot(header.m_hWnd);

    struct TitleCase {
      int column;
      const char* text;
    };
    for (TitleCase t : {TitleCase{0, "Name"}, TitleCase{1, longTitle}, TitleCase{2, "Netmask"}}) {
      RECT r;
      header.GetItemRect(t.column, &r);
      ::InflateRect(&r, -2, -2);
      std::vector<bool> got = Letters(shot, r);
      EXPECT_TRUE(got == Rendered(t.text, r, 0x8821))
          << "column " << t.column << " \"" << t.text << "\": expected the title centred (DT_CENTER | "
                                                         "DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS), got other letters";
      if (t.column == 1) {
        EXPECT_FALSE(got == Rendered(t.text, r, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX))
            << "the long title must end in an ellipsis";
      }
      if (t.column == 0) {
        EXPECT_FALSE(got == Rendered(t.text, r, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX))
            << "titles are centred, not left-aligned";
      }
    }
  });
}

TEST(SkinHeader, SeparatorOnEveryColumnButTheFirst) {
  MainStyleDialog dlg(1, 0);
  RunModal(dlg, [&dlg](CDialog&) {
    CSkinHeaderCtrl& header = dlg.devices.Header();
    Settle(header.m_hWnd);
    Capture shot(header.m_hWnd);
    SIZE sep = BitmapSize(240);
    ASSERT_EQ(12, sep.cx);
    ASSERT_EQ(17, sep.cy);
    int differing = 0;
    for (int y = 0; y < 17; ++y)
      for (int x = 0; x < 12; ++x)
        if (BitmapPixel(240, x, y) != BitmapPixel(374, 0, y)) ++differing;
    ASSERT_GT(differing, 0) << "separator and strip look alike; the test would prove nothing";

    const int count = header.GetItemCount();
    ASSERT_EQ(4, count);
    for (int i = 0; i < count; ++i) {
      RECT r;
      header.GetItemRect(i, &r);
      int mismatches = 0, first = -1;
      for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 12; ++x) {
          int sx = r.left - 2 + x;
          if (sx < 0 || sx >= shot.Width()) continue;
          COLORREF want = i > 0 ? BitmapPixel(240, x, y) : BitmapPixel(374, 0, y);
          if (shot.At(sx, y) != want) {
            if (first < 0) first = sx * 100 + y;
            ++mismatches;
          }
        }
      EXPECT_EQ(0, mismatches) << "column " << i << (i > 0 ? ": separator at its left edge - 2" : ": no separator, the strip only")
                               << ", first different pixel (" << first / 100 << "," << first % 100 << ")";
    }
    // Rows below the strip's 17 are the black ground.
    if (shot.Height() > 17) {
      EXPECT_EQ(shot.Width(), shot.CountInRow(17, 0, shot.Width(), RGB(0, 0, 0))) << "header row 17";
    }
  });
}

}  // namespace

namespace {

// Repainting every skinned control many times must not leave GDI objects
// behind (bitmaps loaded per paint, memory DCs, fonts, brushes).
TEST(SkinPainting, RepaintsLeaveNoGdiObjects) {
  MainStyleDialog dlg(40, 3);
  RunModal(dlg, [&dlg](CDialog& d) {
    dlg.devices.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
    Settle(d.m_hWnd, 50);
    const DWORD before = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    if (before == 0) GTEST_SKIP() << "this system does not count GDI objects";
    for (int i = 0; i < 30; ++i) {
      ::RedrawWindow(d.m_hWnd, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW);
      dlg.devices.VerticalBar().SyncThumb();
      dlg.devices.HorizontalBar().SyncThumb();
      dlg.devices.SendMessage(WM_VSCROLL, i % 2 ? SB_LINEUP : SB_LINEDOWN, 0);
    }
    fwtest::PumpMessages(50);
    const DWORD after = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    EXPECT_LE(after, before + 2) << "GDI objects: expected about " << before << " after 30 repaints, got " << after;
  });
}

}  // namespace
