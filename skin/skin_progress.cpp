#include "skin_progress.h"

#include "skin_geometry.h"

void CSkinProgressCtrl::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  CRect bar = client;

  CDC memory;
  if (!memory.CreateCompatibleDC(&dc)) return;
  int saved = memory.SaveDC();
  CBitmap canvas;
  if (!canvas.CreateCompatibleBitmap(&dc, client.Width() > 0 ? client.Width() : 1,
                                     client.Height() > 0 ? client.Height() : 1)) {
    memory.RestoreDC(saved);
    return;
  }
  HBITMAP oldCanvas = memory.SelectObject(&canvas);

  CBrush barBrush(kBarColor);
  CBrush groundBrush(GetSysColor(COLOR_BTNFACE));
  memory.FillRect(bar, &groundBrush);

  int lower = 0, upper = 0;
  GetRange(lower, upper);
  bar.right = ProgressFillRight(lower, upper, GetPos(), client.Width());
  if (bar.right > bar.left) memory.FillRect(bar, &barBrush);

  dc.BitBlt(client.left, client.top, client.Width(), client.Height(), &memory, 0, 0, SRCCOPY);

  memory.SelectObject(oldCanvas);
  memory.RestoreDC(saved);
  // memory, the brushes and the bitmap are deleted by their destructors.
}

LRESULT CSkinProgressCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    OnPaint();
    return 0;
  }
  return CProgressCtrl::WindowProc(message, wParam, lParam);
}
