// The skin button: the face of each state, the plain face without images,
// and the mouse rules (press tracking, moving off, double clicks, hover).
#include "skin_button.h"
#include "dialog_skins.h"
#include "resource.h"
#include "skin_dialogs.h"
#include "skin_test_support.h"

#include <gtest/gtest.h>

#include <string>

using namespace skintest;

namespace {

// Dialog 229 (OK 306/307, Cancel 304/305) that counts its button clicks
// instead of closing.
class ClickCountingDialog : public CSkinDialog {
public:
  ClickCountingDialog() : CSkinDialog(IDD_DRIVE_IN_USE, nullptr, DialogSkinSettings(IDD_DRIVE_IN_USE)) {}
  int okClicks = 0;
  int doubleClicks = 0;

protected:
  void OnOK() override { ++okClicks; }
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
  return face == 0 ? "image " + std::to_string(a) : face == 1 ? "image " + std::to_string(b) : "neither image";
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
  const DisabledCase cases[] = {{0, 306}, {307, 307}};
  for (const DisabledCase& c : cases) {
    ClickCountingDialog dlg;
    RunModal(dlg, [&c](CDialog& d) {
      CSkinButton* ok = static_cast<CSkinDialog&>(d).SkinButton(IDOK);
      ASSERT_NE(nullptr, ok);
      RECT r;
      ok->GetClientRect(&r);
      POINT p = DifferingPixel(306, 307, r.right, r.bottom);
      ASSERT_GE(p.x, 0) << "images 306 and 307 look alike";
      ok->SetSkin(306, 307, 307, c.disabledId);
      ok->EnableWindow(FALSE);
      int face = ShownFace(ok->m_hWnd, 306, 307, p);
      EXPECT_EQ(c.expected == 306 ? 0 : 1, face) << "SetSkin(306, 307, 307, " << c.disabledId
                                                 << ") disabled: expected image " << c.expected << ", got "
                                                 << FaceName(face, 306, 307);
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
    POINT p = DifferingPixel(306, 307, r.right, r.bottom);
    ASSERT_GE(p.x, 0);
    MoveAway(d.m_hWnd);

    int face = ShownFace(h, 306, 307, p);
    EXPECT_EQ(0, face) << "normal: expected image 306, got " << FaceName(face, 306, 307);

    MouseMoveTo(Centre(h));
    EXPECT_TRUE(WaitFor([ok] { return ok->IsHovering(); })) << "pointer over the button: expected the hover flag";
    face = ShownFace(h, 306, 307, p);
    EXPECT_EQ(1, face) << "hover: expected image 307, got " << FaceName(face, 306, 307);

    MouseDown();
    WaitFor([ok] { return ok->IsTrackingPress(); });
    EXPECT_FALSE(ok->IsHovering()) << "a press cancels the hover state";
    EXPECT_TRUE(ok->IsTrackingPress()) << "a press on the button starts press tracking";
    face = ShownFace(h, 306, 307, p);
    EXPECT_EQ(1, face) << "pressed: expected image 307, got " << FaceName(face, 306, 307);
    MouseUp();
    auto& counting = static_cast<ClickCountingDialog&>(d);
    WaitFor([&counting] { return counting.okClicks > 0; });
    EXPECT_EQ(1, counting.okClicks) << "a click on the button";

    MouseMoveTo(POINT{Centre(h).x + 2, Centre(h).y});
    WaitFor([ok] { return ok->IsHovering(); });
    EXPECT_TRUE(ok->IsHovering()) << "moving again after the release restores the hover state";

    MoveAway(d.m_hWnd);
    EXPECT_FALSE(ok->IsHovering()) << "leaving the button clears the hover flag";
    face = ShownFace(h, 306, 307, p);
    EXPECT_EQ(0, face) << "after leaving: expected image 306, got " << FaceName(face, 306, 307);

    ok->EnableWindow(FALSE);
    face = ShownFace(h, 306, 307, p);
    EXPECT_EQ(1, face) << "disabled (Table 1 dialog): expected image 307, got " << FaceName(face, 306, 307);
  });
}

TEST(SkinButtonFaces, MainWindowButtonDisabledShowsItsNormalImage) {
  MainStyleDialog dlg;
  RunModal(dlg, [](CDialog& d) {
    HWND refresh = ::GetDlgItem(d.m_hWnd, 1002);
    RECT r;
    ::GetClientRect(refresh, &r);
    POINT p = DifferingPixel(284, 285, r.right, r.bottom);
    ASSERT_GE(p.x, 0) << "images 284 and 285 look alike";
    MoveAway(d.m_hWnd);
    ::EnableWindow(refresh, FALSE);
    int face = ShownFace(refresh, 284, 285, p);
    EXPECT_EQ(0, face) << "disabled 1002: expected image 284, got " << FaceName(face, 284, 285);
  });
}

TEST(SkinButtonFaces, ButtonWithoutImagesIsPlainButtonFace) {
  MainStyleDialog dlg;
  RunModal(dlg, [](CDialog& d) {
    HWND widget = ::GetDlgItem(d.m_hWnd, 1032);
    ASSERT_NE(nullptr, dynamic_cast<CSkinButton*>(CWnd::FromHandlePermanent(widget)))
        << "1032 is a skin button";
    ::ShowWindow(widget, SW_SHOW);
    Settle(widget);
    Capture shot(widget);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    int plain = 0;
    for (int y = 0; y < shot.Height(); ++y) plain += shot.CountInRow(y, 0, shot.Width(), face);
    EXPECT_EQ(shot.Width() * shot.Height(), plain)
        << "1032 without images: expected every pixel " << Rgb(face) << ", got " << plain << " of "
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
    POINT p = DifferingPixel(306, 307, r.right, r.bottom);
    MoveAway(d.m_hWnd);
    MouseMoveTo(Centre(h));
    WaitFor([ok] { return ok->IsHovering(); });
    MouseDown();
    WaitFor([ok] { return (ok->GetState() & BST_PUSHED) != 0; });
    EXPECT_NE(0u, ok->GetState() & BST_PUSHED) << "pressed on the button: expected BST_PUSHED";

    MouseMoveTo(ScreenPoint(d.m_hWnd, 2, 2));
    WaitFor([ok] { return (ok->GetState() & BST_PUSHED) == 0; });
    EXPECT_EQ(0u, ok->GetState() & BST_PUSHED) << "moved off while held: expected the pushed state gone";
    int face = ShownFace(h, 306, 307, p);
    EXPECT_EQ(0, face) << "moved off while held: expected the normal image 306, got " << FaceName(face, 306, 307);

    MouseMoveTo(Centre(h));
    WaitFor([ok] { return (ok->GetState() & BST_PUSHED) != 0; });
    face = ShownFace(h, 306, 307, p);
    EXPECT_EQ(1, face) << "back over the button while held: expected image 307, got " << FaceName(face, 306, 307);

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
