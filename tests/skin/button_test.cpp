// The skin button: the face of each state, the plain face without images,
// the mouse rules (press tracking, moving off, double clicks, hover) and the
// keyboard (focus rectangle, Space and Enter).
#include "skin_button.h"
#include "dialog_skins.h"
#include "resource.h"
#include "skin_dialogs.h"
#include "skin_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace skintest;

namespace {

// The drive-in-use dialog with its skin, counting its button clicks
// instead of closing.
class ClickCountingDialog : public CSkinDialog {
public:
  ClickCountingDialog() : CSkinDialog(nullptr, DialogSkinSettings(IDD_DRIVE_IN_USE)) {}
  int okClicks = 0;
  int cancelClicks = 0;
  int doubleClicks = 0;

protected:
  void OnOK() override { ++okClicks; }
  void OnCancel() override { ++cancelClicks; }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK && HIWORD(wParam) == BN_DOUBLECLICKED) ++doubleClicks;
    return CSkinDialog::WindowProc(message, wParam, lParam);
  }
};

// A pixel inside width x height where bitmaps a and b differ clearly.
POINT DifferingPixel(UINT a, UINT b, int width, int height) {
  for (int y = height / 2; y < height; ++y)
    for (int x = 2; x < width - 2; ++x) {
      COLORREF pa = BitmapPixel(a, x, y), pb = BitmapPixel(b, x, y);
      int d = std::abs(GetRValue(pa) - GetRValue(pb)) + std::abs(GetGValue(pa) - GetGValue(pb)) +
              std::abs(GetBValue(pa) - GetBValue(pb));
      if (d > 60) return POINT{x, y};
    }
  return POINT{-1, -1};
}

// Which of the two bitmaps the button shows at point p (0 = a, 1 = b, -1 neither).
int ShownFace(HWND button, UINT a, UINT b, POINT p) {
  ::RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  fwtest::PumpMessages(20);
  Capture shot(button);
  COLORREF got = shot.At(p.x, p.y);
  if (got == BitmapPixel(a, p.x, p.y)) return 0;
  if (got == BitmapPixel(b, p.x, p.y)) return 1;
  return -1;
}

std::string FaceName(int face, UINT a, UINT b) {
  return face == 0 ? "image " + std::to_string(a) : face == 1 ? "image " + std::to_string(b)
                                                              : "neither image";
}

POINT Centre(HWND window) {
  RECT r;
  ::GetClientRect(window, &r);
  return ScreenPoint(window, r.right / 2, r.bottom / 2);
}

// Moves the pointer onto the dialog's corner; the system reports leaving a
// tracked button with a timer, so wait (up to a second) until no skin
// button of the dialog hovers any more.
void MoveAway(HWND dialog) {
  MouseMoveTo(ScreenPoint(dialog, 2, 2));
  for (int i = 0; i < 50; ++i) {
    fwtest::PumpMessages(20);
    bool hovering = false;
    for (HWND c = ::GetWindow(dialog, GW_CHILD); c != nullptr; c = ::GetWindow(c, GW_HWNDNEXT))
      if (auto* b = dynamic_cast<CSkinButton*>(CWnd::FromHandlePermanent(c))) hovering |= b->IsHovering();
    if (!hovering) return;
  }
}

struct DisabledCase {
  UINT disabledId;
  UINT expected;
};

TEST(SkinButtonFaces, DisabledFaceFollowsTheDisabledId) {
  const DisabledCase cases[] = {{0, IDB_OK}, {IDB_OK_ACTIVE, IDB_OK_ACTIVE}};
  for (const DisabledCase& c : cases) {
    ClickCountingDialog dlg;
    RunModal(dlg, [&c](CDialog& d) {
      CSkinButton* ok = static_cast<CSkinDialog&>(d).SkinButton(IDOK);
      ASSERT_NE(nullptr, ok);
      RECT r;
      ok->GetClientRect(&r);
      POINT p = DifferingPixel(IDB_OK, IDB_OK_ACTIVE, r.right, r.bottom);
      ASSERT_GE(p.x, 0) << "images IDB_OK and IDB_OK_ACTIVE look alike";
      ok->SetSkin(IDB_OK, IDB_OK_ACTIVE, IDB_OK_ACTIVE, c.disabledId);
      ok->EnableWindow(FALSE);
      int face = ShownFace(ok->m_hWnd, IDB_OK, IDB_OK_ACTIVE, p);
      EXPECT_EQ(c.expected == IDB_OK ? 0 : 1, face)
          << "SetSkin(IDB_OK, IDB_OK_ACTIVE, IDB_OK_ACTIVE, " << c.disabledId << ") disabled: expected image "
          << c.expected << ", got " << FaceName(face, IDB_OK, IDB_OK_ACTIVE);
    });
  }
}

TEST(SkinButtonFaces, EachStateShowsItsImage) {
  ClickCountingDialog dlg;
  RunModal(dlg, [](CDialog& d) {
    CSkinButton* ok = static_cast<CSkinDialog&>(d).SkinButton(IDOK);
    ASSERT_NE(nullptr, ok);
    HWND h = ok->m_hWnd;
    RECT r;
    ::GetClientRect(h, &r);
    POINT p = DifferingPixel(IDB_OK, IDB_OK_ACTIVE, r.right, r.bottom);
    ASSERT_GE(p.x, 0);
    MoveAway(d.m_hWnd);

    int face = ShownFace(h, IDB_OK, IDB_OK_ACTIVE, p);
    EXPECT_EQ(0, face) << "normal: expected image IDB_OK, got " << FaceName(face, IDB_OK, IDB_OK_ACTIVE);

    MouseMoveTo(Centre(h));
    EXPECT_TRUE(WaitFor([ok] { return ok->IsHovering(); })) << "pointer over the button: expected the hover flag";
    face = ShownFace(h, IDB_OK, IDB_OK_ACTIVE, p);
    EXPECT_EQ(1, face) << "hover: expected image IDB_OK_ACTIVE, got " << FaceName(face, IDB_OK, IDB_OK_ACTIVE);

    MouseDown();
    WaitFor([ok] { return ok->IsTrackingPress(); });
    EXPECT_FALSE(ok->IsHovering()) << "a press cancels the hover state";
    EXPECT_TRUE(ok->IsTrackingPress()) << "a press on the button starts press tracking";
    face = ShownFace(h, IDB_OK, IDB_OK_ACTIVE, p);
    EXPECT_EQ(1, face) << "pressed: expected image IDB_OK_ACTIVE, got " << FaceName(face, IDB_OK, IDB_OK_ACTIVE);
    MouseUp();
    auto& counting = static_cast<ClickCountingDialog&>(d);
    WaitFor([&counting] { return counting.okClicks > 0; });
    EXPECT_EQ(1, counting.okClicks) << "a click on the button";

    MouseMoveTo(POINT{Centre(h).x + 2, Centre(h).y});
    WaitFor([ok] { return ok->IsHovering(); });
    EXPECT_TRUE(ok->IsHovering()) << "moving again after the release restores the hover state";

    MoveAway(d.m_hWnd);
    EXPECT_FALSE(ok->IsHovering()) << "leaving the button clears the hover flag";
    face = ShownFace(h, IDB_OK, IDB_OK_ACTIVE, p);
    EXPECT_EQ(0, face) << "after leaving: expected image IDB_OK, got " << FaceName(face, IDB_OK, IDB_OK_ACTIVE);

    ok->EnableWindow(FALSE);
    face = ShownFace(h, IDB_OK, IDB_OK_ACTIVE, p);
    EXPECT_EQ(1, face) << "disabled (a small dialog's button): expected image IDB_OK_ACTIVE, got "
                       << FaceName(face, IDB_OK, IDB_OK_ACTIVE);
  });
}

TEST(SkinButtonFaces, MainWindowButtonDisabledShowsItsNormalImage) {
  MainStyleDialog dlg;
  RunModal(dlg, [](CDialog& d) {
    HWND refresh = ::GetDlgItem(d.m_hWnd, IDC_REFRESH);
    RECT r;
    ::GetClientRect(refresh, &r);
    POINT p = DifferingPixel(IDB_SEARCH, IDB_SEARCH_ACTIVE, r.right, r.bottom);
    ASSERT_GE(p.x, 0) << "images IDB_SEARCH and IDB_SEARCH_ACTIVE look alike";
    MoveAway(d.m_hWnd);
    ::EnableWindow(refresh, FALSE);
    int face = ShownFace(refresh, IDB_SEARCH, IDB_SEARCH_ACTIVE, p);
    EXPECT_EQ(0, face) << "disabled IDC_REFRESH: expected image IDB_SEARCH, got "
                       << FaceName(face, IDB_SEARCH, IDB_SEARCH_ACTIVE);
  });
}

TEST(SkinButtonFaces, ButtonWithoutImagesIsPlainButtonFace) {
  MainStyleDialog dlg;
  RunModal(dlg, [](CDialog& d) {
    HWND widget = ::GetDlgItem(d.m_hWnd, IDC_WIDGET);
    ASSERT_NE(nullptr, dynamic_cast<CSkinButton*>(CWnd::FromHandlePermanent(widget)))
        << "IDC_WIDGET is a skin button";
    ::ShowWindow(widget, SW_SHOW);
    Settle(widget);
    Capture shot(widget);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    int plain = 0;
    for (int y = 0; y < shot.Height(); ++y) plain += shot.CountInRow(y, 0, shot.Width(), face);
    EXPECT_EQ(shot.Width() * shot.Height(), plain)
        << "IDC_WIDGET without images: expected every pixel " << Rgb(face) << ", got " << plain << " of "
        << shot.Width() * shot.Height();
  });
}

TEST(SkinButtonMouse, PressMoveOffReleaseSendsNoClick) {
  ClickCountingDialog dlg;
  RunModal(dlg, [&dlg](CDialog& d) {
    CSkinButton* ok = dlg.SkinButton(IDOK);
    ASSERT_NE(nullptr, ok);
    HWND h = ok->m_hWnd;
    RECT r;
    ::GetClientRect(h, &r);
    POINT p = DifferingPixel(IDB_OK, IDB_OK_ACTIVE, r.right, r.bottom);
    MoveAway(d.m_hWnd);
    MouseMoveTo(Centre(h));
    WaitFor([ok] { return ok->IsHovering(); });
    MouseDown();
    WaitFor([ok] { return (ok->GetState() & BST_PUSHED) != 0; });
    EXPECT_NE(0u, ok->GetState() & BST_PUSHED) << "pressed on the button: expected BST_PUSHED";

    MouseMoveTo(ScreenPoint(d.m_hWnd, 2, 2));
    WaitFor([ok] { return (ok->GetState() & BST_PUSHED) == 0; });
    EXPECT_EQ(0u, ok->GetState() & BST_PUSHED) << "moved off while held: expected the pushed state gone";
    int face = ShownFace(h, IDB_OK, IDB_OK_ACTIVE, p);
    EXPECT_EQ(0, face) << "moved off while held: expected the normal image IDB_OK, got "
                       << FaceName(face, IDB_OK, IDB_OK_ACTIVE);

    MouseMoveTo(Centre(h));
    WaitFor([ok] { return (ok->GetState() & BST_PUSHED) != 0; });
    face = ShownFace(h, IDB_OK, IDB_OK_ACTIVE, p);
    EXPECT_EQ(1, face) << "back over the button while held: expected image IDB_OK_ACTIVE, got "
                       << FaceName(face, IDB_OK, IDB_OK_ACTIVE);

    MouseMoveTo(ScreenPoint(d.m_hWnd, 2, 2));
    WaitFor([ok] { return (ok->GetState() & BST_PUSHED) == 0; });
    MouseUp();
    WaitFor([ok] { return !ok->IsTrackingPress() && ::GetCapture() == nullptr; });
    fwtest::PumpMessages(100);
    EXPECT_EQ(0, dlg.okClicks) << "released off the button: expected no click";
    EXPECT_FALSE(ok->IsTrackingPress()) << "released: expected press tracking cleared";
    EXPECT_EQ(nullptr, ::GetCapture()) << "released: expected the capture released";
  });
}

TEST(SkinButtonMouse, DoubleClickIsTwoPresses) {
  ClickCountingDialog dlg;
  RunModal(dlg, [&dlg](CDialog& d) {
    HWND h = ::GetDlgItem(d.m_hWnd, IDOK);
    MoveAway(d.m_hWnd);
    MouseMoveTo(Centre(h));
    WaitFor([&dlg] { return dlg.SkinButton(IDOK)->IsHovering(); });
    MouseDown();
    MouseUp();
    MouseDown();
    MouseUp();
    WaitFor([&dlg] { return dlg.okClicks + dlg.doubleClicks >= 2; });
    fwtest::PumpMessages(100);
    EXPECT_EQ(2, dlg.okClicks) << "a double click: expected two clicks";
    EXPECT_EQ(0, dlg.doubleClicks) << "a double click: expected no BN_DOUBLECLICKED";
  });
}

TEST(SkinButtonMouse, LosingFocusWhileHeldEndsTracking) {
  ClickCountingDialog dlg;
  RunModal(dlg, [&dlg](CDialog& d) {
    CSkinButton* ok = dlg.SkinButton(IDOK);
    ASSERT_NE(nullptr, ok);
    MoveAway(d.m_hWnd);
    MouseMoveTo(Centre(ok->m_hWnd));
    WaitFor([ok] { return ok->IsHovering(); });
    MouseDown();
    WaitFor([ok] { return ok->IsTrackingPress(); });
    ASSERT_TRUE(ok->IsTrackingPress()) << "a press on the button starts press tracking";
    ::SetFocus(::GetDlgItem(d.m_hWnd, IDCANCEL));
    fwtest::PumpMessages(30);
    EXPECT_FALSE(ok->IsTrackingPress()) << "focus lost while held: expected press tracking cleared";
    EXPECT_NE(ok->m_hWnd, ::GetCapture()) << "focus lost while held: expected the capture released";
    MouseUp();
    fwtest::PumpMessages(100);
  });
}

// The pixels of a button's client area that differ from its bitmap, within
// the part the bitmap covers.
std::vector<POINT> PixelsOffTheBitmap(HWND button, UINT bitmapId) {
  ::RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  fwtest::PumpMessages(20);
  Capture shot(button);
  const SIZE size = BitmapSize(bitmapId);
  HBITMAP bitmap = ::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(bitmapId));
  HDC memory = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  std::vector<POINT> off;
  for (int y = 0; y < std::min<int>(shot.Height(), size.cy); ++y)
    for (int x = 0; x < std::min<int>(shot.Width(), size.cx); ++x)
      if (shot.At(x, y) != ::GetPixel(memory, x, y)) off.push_back(POINT{x, y});
  ::SelectObject(memory, old);
  ::DeleteDC(memory);
  ::DeleteObject(bitmap);
  return off;
}

// Whether the pixels draw a rectangle's outline that lies inside the face
// (not on its edge) and is drawn along at least half of its length in dots.
bool IsFocusOutlineInside(const std::vector<POINT>& pixels, HWND button) {
  if (pixels.empty()) return false;
  RECT face;
  ::GetClientRect(button, &face);
  RECT box{pixels[0].x, pixels[0].y, pixels[0].x, pixels[0].y};
  for (const POINT& p : pixels) {
    box.left = std::min(box.left, p.x);
    box.top = std::min(box.top, p.y);
    box.right = std::max(box.right, p.x);
    box.bottom = std::max(box.bottom, p.y);
  }
  if (box.left <= 0 || box.top <= 0 || box.right >= face.right - 1 || box.bottom >= face.bottom - 1) return false;
  for (const POINT& p : pixels)
    if (p.x != box.left && p.x != box.right && p.y != box.top && p.y != box.bottom) return false;
  const long outline = 2 * (box.right - box.left) + 2 * (box.bottom - box.top);
  return static_cast<long>(pixels.size()) * 4 >= outline;
}

TEST(SkinButtonKeyboard, FocusRectangleShowsOnlyOnTheFocusedButton) {
  struct Button {
    int id;
    UINT face;
  };
  const Button buttons[] = {{IDOK, IDB_OK}, {IDCANCEL, IDB_CANCEL}};
  for (const Button& focused : buttons) {
    ClickCountingDialog dlg;
    RunModal(dlg, [&](CDialog& d) {
      MoveAway(d.m_hWnd);
      ::SetFocus(::GetDlgItem(d.m_hWnd, focused.id));
      fwtest::PumpMessages(30);
      for (const Button& b : buttons) {
        const std::vector<POINT> off = PixelsOffTheBitmap(::GetDlgItem(d.m_hWnd, b.id), b.face);
        if (b.id == focused.id) {
          EXPECT_TRUE(IsFocusOutlineInside(off, ::GetDlgItem(d.m_hWnd, b.id)))
              << "button " << b.id << " with the focus: expected a dotted rectangle inside its face, got "
              << off.size() << " pixels off image " << b.face;
        } else {
          EXPECT_EQ(0u, off.size()) << "button " << b.id << " without the focus (button " << focused.id
                                    << " has it): expected exactly image " << b.face;
        }
      }
    });
  }
}

TEST(SkinButtonKeyboard, SpaceAndEnterPressTheFocusedButton) {
  struct KeyCase {
    WORD key;
    int focus;
    int okClicks;
    int cancelClicks;
  };
  // Enter on Cancel is the telling case: the dialog manager alone would
  // press the default button (OK).
  const KeyCase cases[] = {{VK_SPACE, IDOK, 1, 0},
                           {VK_SPACE, IDCANCEL, 0, 1},
                           {VK_RETURN, IDOK, 1, 0},
                           {VK_RETURN, IDCANCEL, 0, 1}};
  for (const KeyCase& c : cases) {
    const std::string what = std::string(c.key == VK_SPACE ? "Space" : "Enter") + " on button " + std::to_string(c.focus);
    ClickCountingDialog dlg;
    RunModal(dlg, [&](CDialog& d) {
      MoveAway(d.m_hWnd);
      HWND button = ::GetDlgItem(d.m_hWnd, c.focus);
      ::SetFocus(button);
      auto clicks = [&dlg] { return dlg.okClicks + dlg.cancelClicks; };
      KeyDown(c.key);
      if (c.key == VK_SPACE) {
        // As a system push button: pushed while the key is held, clicked
        // when it is let go.
        WaitForInDialog(d.m_hWnd, [button] { return (::SendMessageA(button, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0; });
        EXPECT_NE(0, ::SendMessageA(button, BM_GETSTATE, 0, 0) & BST_PUSHED) << what << " held: expected the pushed state";
        EXPECT_EQ(0, clicks()) << what << " held: expected no click yet";
      } else {
        // A held Enter repeats its key-down; the button is pressed once.
        KeyDown(c.key);
      }
      KeyUp(c.key);
      WaitForInDialog(d.m_hWnd, [&] { return clicks() > 0; });
      WaitForInDialog(
          d.m_hWnd, [] { return false; }, 150);
      EXPECT_EQ(c.okClicks, dlg.okClicks) << what << ": OK clicks";
      EXPECT_EQ(c.cancelClicks, dlg.cancelClicks) << what << ": Cancel clicks";
      EXPECT_EQ(button, ::GetFocus()) << what << ": the focus stays on the button";
    });
  }
}

TEST(SkinButtonState, CheckStaysZeroForPushButtons) {
  ClickCountingDialog dlg;
  RunModal(dlg, [](CDialog& d) {
    HWND h = ::GetDlgItem(d.m_hWnd, IDOK);
    EXPECT_EQ(0, ::SendMessageA(h, BM_SETCHECK, BST_CHECKED, 0)) << "BM_SETCHECK result";
    EXPECT_EQ(BST_UNCHECKED, ::SendMessageA(h, BM_GETCHECK, 0, 0)) << "a push button keeps check state 0";
    EXPECT_EQ(static_cast<LONG>(BS_OWNERDRAW), ::GetWindowLongA(h, GWL_STYLE) & BS_TYPEMASK)
        << "a skin button is owner-drawn";
  });
}

}  // namespace
