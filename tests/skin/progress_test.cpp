// The skin progress bar: the blue part's width for range and position.
#include "dialog_skins.h"
#include "resource.h"
#include "skin_progress.h"
#include "skin_test_support.h"

#include <gtest/gtest.h>

using namespace skintest;

namespace {

class RestartStyleDialog : public CSkinDialog {
public:
  RestartStyleDialog() : CSkinDialog(nullptr, DialogSkinSettings(IDD_RESTART_WAIT)) {}
  CSkinProgressCtrl bar;

protected:
  void DoDataExchange(CDataExchange* pDX) override {
    CSkinDialog::DoDataExchange(pDX);
    DDX_Control(pDX, 1023, bar);
  }
};

struct FillCase {
  int lower, upper, position;
  int blueColumns;  // columns 0 .. blueColumns - 1 blue, the rest button face
};

TEST(SkinProgress, BlueWidthFollowsRangeAndPosition) {
  const FillCase cases[] = {
      {1, 100, 1, 0},
      {1, 100, 100, 300},
      {1, 100, 51, 151},
      {1, 100, 50, 148},
      {0, 10, 3, 90},
      {5, 5, 5, 0},
  };
  RestartStyleDialog dlg;
  RunModal(dlg, [&](CDialog&) {
    CRect r;
    dlg.bar.GetWindowRect(&r);
    dlg.ScreenToClient(&r);
    dlg.bar.SetWindowPos(nullptr, 0, r.top, 300, 12, SWP_NOZORDER);  // inside the dialog
    CRect client;
    dlg.bar.GetClientRect(&client);
    ASSERT_EQ(300, client.Width()) << "bar width";
    const COLORREF blue = RGB(4, 134, 232), face = GetSysColor(COLOR_BTNFACE);
    for (const FillCase& c : cases) {
      dlg.bar.SetRange32(c.lower, c.upper);
      dlg.bar.SetPos(c.position);
      Settle(dlg.bar.m_hWnd, 10);
      Capture shot(dlg.bar.m_hWnd);
      for (int y : {0, client.Height() / 2, client.Height() - 1}) {
        int firstNonBlue = 0;
        while (firstNonBlue < shot.Width() && shot.At(firstNonBlue, y) == blue) ++firstNonBlue;
        EXPECT_EQ(c.blueColumns, firstNonBlue)
            << "range " << c.lower << ".." << c.upper << ", position " << c.position << ", row " << y
            << ": blue columns";
        EXPECT_EQ(300 - c.blueColumns, shot.CountInRow(y, c.blueColumns, 300, face))
            << "range " << c.lower << ".." << c.upper << ", position " << c.position << ", row " << y
            << ": button-face columns after the bar";
      }
    }
  });
}

TEST(SkinProgress, StepsKeepTheSystemControlsArithmetic) {
  RestartStyleDialog dlg;
  RunModal(dlg, [&](CDialog&) {
    dlg.bar.SetRange(1, 100);
    dlg.bar.SetStep(1);
    for (int i = 0; i < 49; ++i) dlg.bar.StepIt();
    EXPECT_EQ(50, dlg.bar.GetPos()) << "position after 49 steps from 1";
    int lower = 0, upper = 0;
    dlg.bar.GetRange(lower, upper);
    EXPECT_EQ(1, lower);
    EXPECT_EQ(100, upper);
  });
}

}  // namespace
