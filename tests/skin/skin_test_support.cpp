#include "skin_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace skintest {

namespace {
class SkinEnvironment : public ::testing::Environment {
public:
  void SetUp() override { AfxInitCommonControls(); }
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new SkinEnvironment);
}  // namespace

std::string Rgb(COLORREF color) {
  char text[32];
  std::snprintf(text, sizeof(text), "RGB(%d,%d,%d)", GetRValue(color), GetGValue(color),
                GetBValue(color));
  return text;
}

Capture::Capture(HWND window) {
  RECT client;
  ::GetClientRect(window, &client);
  m_width = client.right - client.left;
  m_height = client.bottom - client.top;
  if (m_width <= 0 || m_height <= 0) return;

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = m_width;
  info.bmiHeader.biHeight = -m_height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC screen = ::GetDC(window);
  HBITMAP dib = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC memory = ::CreateCompatibleDC(screen);
  HGDIOBJ old = ::SelectObject(memory, dib);
  ::BitBlt(memory, 0, 0, m_width, m_height, screen, 0, 0, SRCCOPY);
  ::GdiFlush();
  const uint32_t* p = static_cast<const uint32_t*>(bits);
  m_pixels.assign(p, p + static_cast<size_t>(m_width) * m_height);
  ::SelectObject(memory, old);
  ::DeleteDC(memory);
  ::DeleteObject(dib);
  ::ReleaseDC(window, screen);
}

COLORREF Capture::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= m_width || y >= m_height) return CLR_INVALID;
  uint32_t v = m_pixels[static_cast<size_t>(y) * m_width + x];
  return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

int Capture::CountInRow(int y, int x0, int x1, COLORREF color) const {
  int n = 0;
  for (int x = x0; x < x1; ++x)
    if (At(x, y) == color) ++n;
  return n;
}

bool Capture::Contains(int x0, int y0, int x1, int y1, COLORREF color) const {
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      if (At(x, y) == color) return true;
  return false;
}

COLORREF BitmapPixel(UINT bitmapId, int x, int y) {
  HBITMAP bitmap = ::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(bitmapId));
  if (bitmap == nullptr) return CLR_INVALID;
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  COLORREF color = ::GetPixel(memory, x, y);
  ::SelectObject(memory, old);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  ::DeleteObject(bitmap);
  return color;
}

SIZE BitmapSize(UINT bitmapId) {
  SIZE size = {0, 0};
  HBITMAP bitmap = ::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(bitmapId));
  BITMAP info;
  if (bitmap != nullptr && ::GetObjectA(bitmap, sizeof(info), &info) != 0) {
    size.cx = info.bmWidth;
    size.cy = info.bmHeight;
  }
  if (bitmap != nullptr) ::DeleteObject(bitmap);
  return size;
}

void Settle(HWND window, DWORD pumpMs) {
  ::RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW);
  fwtest::PumpMessages(pumpMs);
}

bool WaitFor(const std::function<bool()>& cond, DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  while (!cond()) {
    if (::GetTickCount() - start > timeoutMs) return cond();
    fwtest::PumpMessages(10);
  }
  return true;
}

bool WaitForInDialog(HWND dialog, const std::function<bool()>& cond, DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (::IsDialogMessageA(dialog, &msg)) continue;
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
    if (cond()) return true;
    if (::GetTickCount() - start > timeoutMs) return cond();
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void RunModal(CDialog& dlg, const std::function<void(CDialog&)>& body) {
  fwtest::ScopedSeams seams;
  fwtest::SetModalWatchdog(30000);
  fwtest::PushModalAction([&body](CDialog& shown) {
    body(shown);
    if (shown.m_hWnd != nullptr && ::IsWindow(shown.m_hWnd)) shown.EndDialog(IDCANCEL);
  });
  INT_PTR result = dlg.DoModal();
  EXPECT_NE(-1, result) << "dialog " << dlg.GetTemplateID() << " did not run (expected a result, got -1)";
  EXPECT_TRUE(fwtest::UnexpectedDialogs().empty()) << "a dialog sat idle and was ended by the watchdog";
}

namespace {
void SendMouse(DWORD flags, LONG dx = 0, LONG dy = 0) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  input.mi.dx = dx;
  input.mi.dy = dy;
  ::SendInput(1, &input, sizeof(input));
}
}  // namespace

namespace {
void SendKey(WORD key, DWORD flags) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(key, 0));
  input.ki.dwFlags = flags;
  ::SendInput(1, &input, sizeof(input));
}
}  // namespace

void KeyDown(WORD key) { SendKey(key, 0); }
void KeyUp(WORD key) { SendKey(key, KEYEVENTF_KEYUP); }

void MouseMoveTo(POINT screen) {
  ::SetCursorPos(screen.x, screen.y);
  int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
  SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, (screen.x * 65535 + w / 2) / (w - 1),
            (screen.y * 65535 + h / 2) / (h - 1));
}

void MouseDown() { SendMouse(MOUSEEVENTF_LEFTDOWN); }
void MouseUp() { SendMouse(MOUSEEVENTF_LEFTUP); }

POINT ScreenPoint(HWND window, int x, int y) {
  POINT p = {x, y};
  ::ClientToScreen(window, &p);
  return p;
}

}  // namespace skintest
