// Progress bar that keeps the system control's range, position and steps
// and paints a flat blue bar growing from the left over the button-face
// colour, without border, segments or text.
#pragma once
#include "framework.h"

class CSkinProgressCtrl : public CProgressCtrl {
public:
  CSkinProgressCtrl() = default;

  static constexpr COLORREF kBarColor = RGB(4, 134, 232);

protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
  void OnPaint();
};
