// Helpers of the skin tests: modal dialogs run by the framework's seams,
// client-area captures read back from the window's device context, colour
// texts for failure messages and bitmap pixels as the resources hold them.
#pragma once
#include "framework.h"
#include "testing.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace skintest {

// "RGB(r,g,b)" for failure messages.
std::string Rgb(COLORREF color);

// The client area of a window as it is on screen now (GetDC + BitBlt into a
// 32-bit DIB).
class Capture {
public:
  explicit Capture(HWND window);
  int Width() const { return m_width; }
  int Height() const { return m_height; }
  COLORREF At(int x, int y) const;
  // Columns [x0, x1) of row y whose colour is color.
  int CountInRow(int y, int x0, int x1, COLORREF color) const;
  bool Contains(int x0, int y0, int x1, int y1, COLORREF color) const;

private:
  int m_width = 0;
  int m_height = 0;
  std::vector<uint32_t> m_pixels;
};

// Colour of pixel (x, y) of a bitmap resource of this executable.
COLORREF BitmapPixel(UINT bitmapId, int x, int y);
SIZE BitmapSize(UINT bitmapId);

// Repaints a window and its children now and runs the queued messages.
void Settle(HWND window, DWORD pumpMs = 30);

// Runs messages until cond() holds or timeoutMs pass; returns cond().
// Real input reaches the windows with some delay on a busy machine.
bool WaitFor(const std::function<bool()>& cond, DWORD timeoutMs = 2000);

// Runs dlg modally; body runs once the dialog is up, then the dialog ends
// (also when an assertion left body early).
void RunModal(CDialog& dlg, const std::function<void(CDialog&)>& body);

// As WaitFor, but runs the messages as a dialog's own message loop does
// (IsDialogMessage first), so that keys reach the dialog manager: Tab,
// Enter and Escape work as they do for a person.
bool WaitForInDialog(HWND dialog, const std::function<bool()>& cond, DWORD timeoutMs = 2000);

// Real key input (SendInput) to the window with the keyboard focus.
void KeyDown(WORD key);
void KeyUp(WORD key);

// Real mouse input (SendInput) at a screen point.
void MouseMoveTo(POINT screen);
void MouseDown();
void MouseUp();
POINT ScreenPoint(HWND window, int x, int y);

// Client point (x, y) of window packed as the LPARAM of a mouse message.
inline LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

}  // namespace skintest
