// The skinned scroll bars: thumb positions and how they follow the list, the
// arrow auto-repeat timers, track paging at release, the differences between
// the two bars, thumb dragging, and the look with nothing to scroll.
#include "skin_dialogs.h"
#include "skin_geometry.h"
#include "skin_list.h"
#include "skin_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

using namespace skintest;

namespace {

using Request = RecordingList::Request;

// The main-window dialog with a tall device list (200 px) full of rows.
class TallListDialog : public MainStyleDialog {
public:
  explicit TallListDialog(int rows = 60) : MainStyleDialog(rows, 0) {}

protected:
  BOOL OnInitDialog() override {
    MainStyleDialog::OnInitDialog();
    CRect r;
    devices.GetWindowRect(&r);
    ScreenToClient(&r);
    devices.SetWindowPos(nullptr, r.left, r.top, r.Width(), 200, SWP_NOZORDER);
    devices.PlaceScrollBars();
    return TRUE;
  }
};

int ClientHeight(const CWnd& w) {
  CRect r;
  w.GetClientRect(&r);
  return r.Height();
}
int ClientWidth(const CWnd& w) {
  CRect r;
  w.GetClientRect(&r);
  return r.Width();
}

void Press(CWnd& bar, int x, int y) { bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(x, y)); }
void Release(CWnd& bar, int x, int y) { bar.SendMessage(WM_LBUTTONUP, 0, At(x, y)); }

// Pumps until `ms` after start.
void PumpUntil(DWORD start, DWORD ms) {
  while (static_cast<LONG>(::GetTickCount() - (start + ms)) < 0) fwtest::PumpMessages(5);
}

TEST(SkinScrollBarThumb, EndsOfTheRange) {
  TallListDialog dlg;
  RunModal(dlg, [&dlg](CDialog&) {
    CSkinVScrollBar& v = dlg.devices.VerticalBar();
    CSkinHScrollBar& h = dlg.devices.HorizontalBar();
    const int hh = ClientHeight(v), ww = ClientWidth(h);
    ASSERT_EQ(199, hh) << "vertical bar height: list height - 1";
    ASSERT_GT(dlg.devices.GetScrollLimit(SB_VERT), 0) << "the list must have rows to scroll";
    ASSERT_GT(dlg.devices.GetScrollLimit(SB_HORZ), 0) << "the columns must be wider than the list";

    v.SyncThumb();
    h.SyncThumb();
    EXPECT_EQ(20, v.ThumbPos()) << "vertical thumb at the first row";
    EXPECT_EQ(20, h.ThumbPos()) << "horizontal thumb at the left edge";

    dlg.devices.SendMessage(LVM_ENSUREVISIBLE, dlg.devices.GetItemCount() - 1, FALSE);
    dlg.devices.Scroll(CSize(10000, 0));
    fwtest::PumpMessages(20);
    ASSERT_EQ(dlg.devices.GetScrollLimit(SB_VERT), dlg.devices.GetScrollPos(SB_VERT));
    ASSERT_EQ(dlg.devices.GetScrollLimit(SB_HORZ), dlg.devices.GetScrollPos(SB_HORZ));
    v.SyncThumb();
    h.SyncThumb();
    EXPECT_EQ(hh - 38, v.ThumbPos()) << "vertical thumb at the last position (H - 38)";
    EXPECT_EQ(ww - 38, h.ThumbPos()) << "horizontal thumb at the last position (W - 38)";

    // The thumb image is drawn 4 pixels before its position.
    Capture vbar(v.m_hWnd);
    for (int row : {0, 5, 12, 25}) {
      COLORREF want = BitmapPixel(236, 7, row), got = vbar.At(7, v.ThumbPos() - 4 + row);
      EXPECT_EQ(Rgb(want), Rgb(got)) << "vertical thumb image row " << row;
    }
    Capture hbar(h.m_hWnd);
    for (int col : {0, 5, 12, 25}) {
      COLORREF want = BitmapPixel(243, col, 7), got = hbar.At(h.ThumbPos() - 4 + col, 7);
      EXPECT_EQ(Rgb(want), Rgb(got)) << "horizontal thumb image column " << col;
    }
  });
}

TEST(SkinScrollBarThumb, FollowsTheListAtItsNextPaint) {
  TallListDialog dlg;
  RunModal(dlg, [&dlg](CDialog&) {
    CSkinVScrollBar& v = dlg.devices.VerticalBar();
    v.SyncThumb();
    ASSERT_EQ(20, v.ThumbPos());
    dlg.devices.SetFocus();
    for (int i = 0; i < 30; ++i) dlg.devices.SendMessage(WM_KEYDOWN, VK_DOWN, 0);
    dlg.devices.UpdateWindow();
    fwtest::PumpMessages(50);
    int position = dlg.devices.GetScrollPos(SB_VERT);
    ASSERT_GT(position, 0) << "thirty rows down must scroll the list";
    int expected = ClampVThumb(VThumbForPosition(position, dlg.devices.GetScrollLimit(SB_VERT), 199), 199);
    EXPECT_EQ(expected, v.ThumbPos()) << "thumb after keyboard scrolling to row " << position;
  });
}

// The list's own bars are hidden, yet the position that the skinned bars
// read is still the list's view: after scrolling by keyboard, by the wheel
// and by messages, the top row is the vertical position, the rows start at
// minus the horizontal one, and both thumbs stand where those positions put
// them.
TEST(SkinScrollBarThumb, FollowsTheListHoweverItScrolls) {
  TallListDialog dlg;
  RunModal(dlg, [&dlg](CDialog&) {
    RecordingList& list = dlg.devices;
    CSkinVScrollBar& v = list.VerticalBar();
    CSkinHScrollBar& h = list.HorizontalBar();
    CRect row;
    ASSERT_TRUE(list.GetItemRect(0, &row, LVIR_BOUNDS));
    const int rowHeight = row.Height(), unscrolledLeft = row.left;
    auto keys = [&list](UINT key, int times) {
      list.SetFocus();
      for (int i = 0; i < times; ++i) list.SendMessage(WM_KEYDOWN, key, 0);
    };
    struct Scrolling {
      const char* what;
      std::function<void()> apply;
    };
    const Scrolling cases[] = {
        {"Down key 30 times", [&] { keys(VK_DOWN, 30); }},
        {"Page Down key twice", [&] { keys(VK_NEXT, 2); }},
        {"End key", [&] { keys(VK_END, 1); }},
        {"wheel two notches down", [&] { list.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-2 * WHEEL_DELTA)), 0); }},
        {"LVM_ENSUREVISIBLE of row 45", [&] { list.SendMessage(LVM_ENSUREVISIBLE, 45, FALSE); }},
        {"LVM_SCROLL by 7 rows and 120 pixels", [&] { list.Scroll(CSize(120, 7 * rowHeight)); }},
        {"WM_VSCROLL and WM_HSCROLL a page on", [&] {
           list.SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
           list.SendMessage(WM_HSCROLL, SB_PAGERIGHT, 0);
         }},
    };
    for (const Scrolling& c : cases) {
      list.SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
      list.SetItemState(0, LVIS_FOCUSED, LVIS_FOCUSED);
      list.SendMessage(LVM_ENSUREVISIBLE, 0, FALSE);
      list.Scroll(CSize(-10000, 0));
      Settle(list.m_hWnd);
      ASSERT_EQ(0, list.GetScrollPos(SB_VERT)) << c.what << ": back at the top";
      ASSERT_EQ(0, list.GetScrollPos(SB_HORZ)) << c.what << ": back at the left";

      c.apply();
      list.UpdateWindow();
      fwtest::PumpMessages(50);
      const int vpos = list.GetScrollPos(SB_VERT), hpos = list.GetScrollPos(SB_HORZ);
      EXPECT_GT(vpos + hpos, 0) << c.what << ": the list must scroll";
      EXPECT_EQ(vpos, list.GetTopIndex()) << c.what << ": top row";
      ASSERT_TRUE(list.GetItemRect(vpos, &row, LVIR_BOUNDS)) << c.what;
      EXPECT_EQ(unscrolledLeft - hpos, row.left) << c.what << ": rows shifted left by the horizontal position";
      const int height = ClientHeight(v), width = ClientWidth(h);
      EXPECT_EQ(ClampVThumb(VThumbForPosition(vpos, list.GetScrollLimit(SB_VERT), height), height), v.ThumbPos())
          << c.what << ": vertical thumb at row " << vpos;
      EXPECT_EQ(ClampHThumb(HThumbForPosition(hpos, list.GetScrollLimit(SB_HORZ), width), width), h.ThumbPos())
          << c.what << ": horizontal thumb at " << hpos << " pixels";
    }
  });
}

TEST(SkinScrollBarTimers, ArrowRepeatsAfter250ThenEvery50) {
  TallListDialog dlg;
  RunModal(dlg, [&dlg](CDialog&) {
    CSkinVScrollBar& v = dlg.devices.VerticalBar();
    const int h = ClientHeight(v);
    auto& requests = dlg.devices.requests;
    requests.clear();
    const DWORD start = ::GetTickCount();
    Press(v, 5, h - 20);  // down arrow
    EXPECT_TRUE(v.DownPressed());
    PumpUntil(start, 230);
    EXPECT_EQ(0u, dlg.devices.Count(WM_VSCROLL, SB_LINEDOWN)) << "no line request within the first 250 ms";
    PumpUntil(start, 650);
    const DWORD elapsed = ::GetTickCount() - start;
    std::vector<DWORD> ticks;
    for (const Request& r : requests)
      if (r.message == WM_VSCROLL && r.code == SB_LINEDOWN) ticks.push_back(r.tick - start);
    std::string seen;
    for (DWORD t : ticks) seen += " " + std::to_string(t);
    // 250 ms of delay, then one line per 50 ms. A busy machine delays ticks
    // (and the pumping), hence the margins.
    const size_t expected = (elapsed - 250) / 50;
    ASSERT_GE(ticks.size(), expected / 2) << "held for " << elapsed << " ms: expected about " << expected
                                          << " repeats, got ms" << seen;
    EXPECT_LE(ticks.size(), expected + 2) << "held for " << elapsed << " ms: expected about " << expected
                                          << " repeats, got ms" << seen;
    EXPECT_GE(ticks.front(), 240u) << "first repeat: expected at about 300 ms, got ms" << seen;
    std::vector<DWORD> gaps;
    for (size_t i = 1; i < ticks.size(); ++i) gaps.push_back(ticks[i] - ticks[i - 1]);
    std::sort(gaps.begin(), gaps.end());
    DWORD median = gaps[gaps.size() / 2];
    EXPECT_GE(median, 35u) << "repeat period: expected 50 ms, got ms" << seen;
    EXPECT_LE(median, 75u) << "repeat period: expected 50 ms, got ms" << seen;
    EXPECT_EQ(0u, dlg.devices.Count(WM_VSCROLL, SB_PAGEDOWN) + dlg.devices.Count(WM_VSCROLL, SB_PAGEUP))
        << "holding an arrow pages nothing";

    const size_t held = dlg.devices.Count(WM_VSCROLL, SB_LINEDOWN);
    Release(v, 5, h - 20);
    EXPECT_EQ(held + 1, dlg.devices.Count(WM_VSCROLL, SB_LINEDOWN)) << "one more line at the release";
    fwtest::PumpMessages(300);
    EXPECT_EQ(held + 1, dlg.devices.Count(WM_VSCROLL, SB_LINEDOWN)) << "nothing repeats after the release";
    EXPECT_FALSE(v.DownPressed());
  });
}

TEST(SkinScrollBarTimers, QuickClickLeavesNoTimer) {
  TallListDialog dlg;
  RunModal(dlg, [&dlg](CDialog&) {
    CSkinHScrollBar& hbar = dlg.devices.HorizontalBar();
    const int w = ClientWidth(hbar);
    dlg.devices.requests.clear();
    Press(hbar, w - 8, 5);  // right arrow
    fwtest::PumpMessages(60);
    Release(hbar, w - 8, 5);
    fwtest::PumpMessages(500);
    EXPECT_EQ(1u, dlg.devices.Count(WM_HSCROLL, SB_LINERIGHT)) << "a quick click on the right arrow";
    EXPECT_EQ(1u, dlg.devices.requests.size()) << "a quick click makes one request and starts no repeat";
  });
}

TEST(SkinScrollBarTimers, LosingTheCaptureStopsTheRepeat) {
  TallListDialog dlg;
  RunModal(dlg, [&dlg](CDialog& d) {
    CSkinVScrollBar& v = dlg.devices.VerticalBar();
    const int h = ClientHeight(v);
    dlg.devices.requests.clear();
    Press(v, 5, h - 20);
    fwtest::PumpMessages(100);
    ::SetCapture(d.m_hWnd);  // e.g. a window that pops up mid-press
    ::ReleaseCapture();
    fwtest::PumpMessages(500);
    EXPECT_EQ(0u, dlg.devices.requests.size()) << "capture lost before the first repeat: expected no requests";
    EXPECT_FALSE(v.DownPressed()) << "capture lost: expected the press forgotten";
  });
}

TEST(SkinScrollBarClicks, TrackClickPagesOnceAtRelease) {
  TallListDialog dlg;
  RunModal(dlg, [&dlg](CDialog&) {
    CSkinVScrollBar& v = dlg.devices.VerticalBar();
    v.SyncThumb();
    ASSERT_EQ(20, v.ThumbPos());
    dlg.devices.requests.clear();
    Press(v, 5, 120);  // track below the thumb
    fwtest::PumpMessages(400);
    EXPECT_EQ(0u, dlg.devices.requests.size()) << "holding on the track requests nothing";
    int before = dlg.devices.GetScrollPos(SB_VERT);
    Release(v, 5, 120);
    EXPECT_EQ(1u, dlg.devices.Count(WM_VSCROLL, SB_PAGEDOWN)) << "release on the track below the thumb";
    EXPECT_EQ(1u, dlg.devices.requests.size()) << "one request for a track click";
    EXPECT_GT(dlg.devices.GetScrollPos(SB_VERT), before) << "the list paged down";
    fwtest::PumpMessages(300);
    EXPECT_EQ(1u, dlg.devices.requests.size()) << "paging doesn't repeat";
  });
}

struct ReleaseCase {
  bool vertical;
  POINT press, release;
  UINT message, code;  // the one request expected
  const char* what;
};

TEST(SkinScrollBarClicks, ReleaseRulesDifferBetweenTheBars) {
  TallListDialog dlg;
  RunModal(dlg, [&dlg](CDialog&) {
    CSkinVScrollBar& v = dlg.devices.VerticalBar();
    CSkinHScrollBar& h = dlg.devices.HorizontalBar();
    const int w = ClientWidth(h), hh = ClientHeight(v);
    const ReleaseCase cases[] = {
        {false, {150, 5}, {8, 5}, WM_HSCROLL, SB_LINELEFT, "horizontal: press on the track, release on the left arrow"},
        {false, {150, 5}, {w - 8, 5}, WM_HSCROLL, SB_LINERIGHT, "horizontal: press on the track, release on the right arrow"},
        {true, {5, 120}, {5, 15}, WM_VSCROLL, SB_PAGEUP, "vertical: press on the track, release on the up arrow is a track click"},
        {true, {5, 13}, {5, 22}, WM_VSCROLL, SB_LINEUP, "vertical: press on the up arrow's press zone, release in its release zone"},
        {true, {5, 5}, {5, 5}, WM_VSCROLL, SB_PAGEUP, "vertical: the arrow image's top rows are not the arrow"},
        {true, {5, hh - 8}, {5, hh - 8}, WM_VSCROLL, SB_PAGEDOWN, "vertical: the down arrow zone ends 11 pixels above the bottom"},
    };
    for (const ReleaseCase& c : cases) {
      dlg.devices.SendMessage(LVM_ENSUREVISIBLE, 0, FALSE);
      dlg.devices.Scroll(CSize(-10000, 0));
      v.SyncThumb();
      h.SyncThumb();
      dlg.devices.requests.clear();
      CWnd& bar = c.vertical ? static_cast<CWnd&>(v) : static_cast<CWnd&>(h);
      Press(bar, c.press.x, c.press.y);
      Release(bar, c.release.x, c.release.y);
      ASSERT_EQ(1u, dlg.devices.requests.size()) << c.what << ": expected one request";
      EXPECT_EQ(c.message, dlg.devices.requests[0].message) << c.what;
      EXPECT_EQ(c.code, dlg.devices.requests[0].code) << c.what;
    }
  });
}

TEST(SkinScrollBarClicks, QuickSecondClickOnAnArrowIsASecondLine) {
  TallListDialog dlg;
  RunModal(dlg, [&dlg](CDialog&) {
    CSkinVScrollBar& v = dlg.devices.VerticalBar();
    const int h = ClientHeight(v);
    dlg.devices.requests.clear();
    Press(v, 5, h - 20);
    Release(v, 5, h - 20);
    v.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, At(5, h - 20));
    Release(v, 5, h - 20);
    EXPECT_EQ(2u, dlg.devices.Count(WM_VSCROLL, SB_LINEDOWN)) << "a double click on the down arrow";
    EXPECT_EQ(2u, dlg.devices.requests.size()) << "a double click on an arrow pages nothing";
  });
}

TEST(SkinScrollBarDrag, ThumbDragScrollsTheList) {
  TallListDialog dlg;
  RunModal(dlg, [&dlg](CDialog&) {
    CSkinVScrollBar& v = dlg.devices.VerticalBar();
    CSkinHScrollBar& h = dlg.devices.HorizontalBar();
    v.SyncThumb();
    h.SyncThumb();
    const int hh = ClientHeight(v), w = ClientWidth(h);
    const int vlimit = dlg.devices.GetScrollLimit(SB_VERT), hlimit = dlg.devices.GetScrollLimit(SB_HORZ);

    Press(v, 5, v.ThumbPos() + 13);
    ASSERT_TRUE(v.Grabbed());
    v.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(5, 90));
    int expected = VDragTarget(90 - 13, vlimit, hh, 0);
    EXPECT_EQ(expected, dlg.devices.GetScrollPos(SB_VERT)) << "vertical drag to y 90";
    // The list's repaint brings the thumb onto the row it scrolled to.
    EXPECT_NEAR(77, v.ThumbPos(), 3) << "thumb follows the pointer";
    Release(v, 5, 90);
    EXPECT_FALSE(v.Grabbed());
    EXPECT_EQ(0u, dlg.devices.Count(WM_VSCROLL, SB_PAGEDOWN) + dlg.devices.Count(WM_VSCROLL, SB_PAGEUP))
        << "releasing a dragged thumb pages nothing";

    Press(h, h.ThumbPos() + 13, 5);
    ASSERT_TRUE(h.Grabbed());
    h.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(120, 5));
    int hexpected = HDragTarget(120 - 13, hlimit, w, 0);
    EXPECT_NEAR(hexpected, dlg.devices.GetScrollPos(SB_HORZ), 1) << "horizontal drag to x 120";
    Release(h, 120, 5);
  });
}

TEST(SkinScrollBarLook, NothingToScrollShowsTheOffImages) {
  MainStyleDialog dlg(1, 0);  // one row, columns wider than the list
  RunModal(dlg, [&dlg](CDialog&) {
    CSkinVScrollBar& v = dlg.shares.VerticalBar();
    CSkinHScrollBar& h = dlg.shares.HorizontalBar();
    ASSERT_EQ(0, dlg.shares.GetScrollLimit(SB_VERT));
    ASSERT_EQ(0, dlg.shares.GetScrollLimit(SB_HORZ));
    v.SyncThumb();
    h.SyncThumb();
    EXPECT_EQ(20, v.ThumbPos()) << "nothing to scroll: vertical thumb at its lowest position";
    EXPECT_EQ(20, h.ThumbPos()) << "nothing to scroll: horizontal thumb at its lowest position";
    Capture vbar(v.m_hWnd), hbar(h.m_hWnd);
    const int hh = vbar.Height(), w = hbar.Width();
    struct Probe {
      const Capture* shot;
      UINT bitmap;
      int bx, by, x, y;
      const char* what;
    };
    const Probe probes[] = {
        {&vbar, 383, 7, 8, 7, 8, "vertical first arrow"},
        {&vbar, 385, 7, 8, 7, hh - 16 + 8, "vertical second arrow"},
        {&vbar, 384, 7, 0, 7, hh / 2, "vertical track"},
        {&hbar, 380, 8, 7, 8, 7, "horizontal first arrow"},
        {&hbar, 381, 8, 7, w - 16 + 8, 7, "horizontal second arrow"},
        {&hbar, 382, 0, 7, w / 2, 7, "horizontal track"},
    };
    for (const Probe& p : probes)
      EXPECT_EQ(Rgb(BitmapPixel(p.bitmap, p.bx, p.by)), Rgb(p.shot->At(p.x, p.y)))
          << p.what << " (image " << p.bitmap << ")";

    dlg.shares.requests.clear();
    Press(v, 5, 60);
    Release(v, 5, 60);
    EXPECT_EQ(1u, dlg.shares.requests.size()) << "a click still sends a request, which the list ignores";
  });
}

}  // namespace
