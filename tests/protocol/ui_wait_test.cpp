// The waits of the user-interface thread on a real window: what they serve
// (painting, messages other threads send), what they leave queued (posted
// commands, timers), what they drop (input), how long they last, and the
// waiting mark that automation reads.
#include <windows.h>

#include <cstdio>

#include <gtest/gtest.h>

#include "clock.h"
#include "ui_wait.h"

namespace {

struct Seen {
  int paints = 0;
  int commands = 0;
  int clicks = 0;
  int sent = 0;
};
Seen seen;

LRESULT CALLBACK RecordingProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(w, &ps);
      EndPaint(w, &ps);
      ++seen.paints;
      return 0;
    }
    case WM_COMMAND: ++seen.commands; return 0;
    case WM_LBUTTONDOWN: ++seen.clicks; return 0;
    case WM_APP: ++seen.sent; return 42;
    default: return DefWindowProcA(w, m, wp, lp);
  }
}

class UiWaitTest : public ::testing::Test {
protected:
  void SetUp() override {
    seen = Seen{};
    WNDCLASSA wc{};
    wc.lpfnWndProc = &RecordingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "NexoraUiWaitTest";
    RegisterClassA(&wc);
    window = CreateWindowA("NexoraUiWaitTest", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                           nullptr, wc.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    MSG msg;  // the window's first paint and anything else, before the test
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    seen = Seen{};
  }
  void TearDown() override { DestroyWindow(window); }
  HWND window = nullptr;
};

bool WaitingMarkSet() {
  HANDLE event = OpenEventA(SYNCHRONIZE, FALSE, MarkEventName(kWaitingEventNameFormat, GetCurrentProcessId()).c_str());
  if (event == nullptr) return false;
  const bool set = WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
  CloseHandle(event);
  return set;
}

struct SenderResult {
  HWND window;
  LRESULT answer = 0;
  bool markDuringWait = false;
};

DWORD WINAPI SendFromOtherThread(LPVOID p) {
  auto* r = static_cast<SenderResult*>(p);
  Sleep(50);
  r->markDuringWait = WaitingMarkSet();
  DWORD_PTR answer = 0;
  SendMessageTimeoutA(r->window, WM_APP, 0, 0, SMTO_NORMAL, 2000, &answer);
  r->answer = static_cast<LRESULT>(answer);
  return 0;
}

TEST_F(UiWaitTest, ServesPaintAndSentMessagesKeepsPostedOnesDropsInput) {
  InvalidateRect(window, nullptr, TRUE);
  PostMessageA(window, WM_COMMAND, 1007, 0);
  PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  PostMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
  SenderResult sender{window};
  HANDLE thread = CreateThread(nullptr, 0, &SendFromOtherThread, &sender, 0, nullptr);
  ASSERT_NE(thread, nullptr);

  const int64_t start = PerformanceCounterMs();
  WaitServingWindows(300);
  const int64_t took = PerformanceCounterMs() - start;
  WaitForSingleObject(thread, 5000);
  CloseHandle(thread);

  EXPECT_GE(took, 295) << "a wait lasts what was asked";
  EXPECT_LT(took, 1000);
  EXPECT_EQ(seen.paints, 1) << "the window is painted during the wait";
  EXPECT_EQ(sender.answer, 42) << "another thread's message is answered during the wait";
  EXPECT_TRUE(sender.markDuringWait) << "the waiting mark is set while the wait runs";
  EXPECT_FALSE(WaitingMarkSet()) << "and cleared after it";
  EXPECT_EQ(seen.commands, 0) << "a posted command waits for the message loop";
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, window, WM_COMMAND, WM_COMMAND, PM_REMOVE)) << "the command is still queued";
  EXPECT_FALSE(PeekMessageA(&msg, window, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) << "mouse input is dropped";
  EXPECT_FALSE(PeekMessageA(&msg, window, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) << "keys are dropped";
}

TEST_F(UiWaitTest, AWaitWithoutMessagesLastsItsTime) {
  for (const int ms : {10, 100}) {
    const int64_t start = PerformanceCounterMs();
    ActiveClock().Pause(ms);
    const int64_t took = PerformanceCounterMs() - start;
    EXPECT_GE(took, ms - 1) << "expected a pause of " << ms << " ms, got " << took;
    EXPECT_LT(took, ms + 100) << "expected a pause of " << ms << " ms, got " << took;
  }
}

TEST_F(UiWaitTest, PlatformCallsRunOnAWorkerInOrderWhileTheWindowIsServed) {
  InvalidateRect(window, nullptr, TRUE);
  DWORD ranOn[2] = {};
  int order = 0;
  int position[2] = {};
  for (int i = 0; i < 2; ++i) {
    auto call = [&, i] {
      Sleep(100);
      ranOn[i] = GetCurrentThreadId();
      position[i] = ++order;
    };
    RunServingWindows(call);
  }
  EXPECT_NE(ranOn[0], GetCurrentThreadId()) << "the call runs on a worker thread";
  EXPECT_NE(ranOn[1], 0u);
  EXPECT_EQ(position[0], 1) << "each call ends before the next starts";
  EXPECT_EQ(position[1], 2);
  EXPECT_EQ(seen.paints, 1) << "the window is painted while the call runs";
  EXPECT_EQ(CallServingWindows([] { return 7; }), 7) << "the call's result comes back";
}

TEST_F(UiWaitTest, DeviceOperationsShowTheWaitCursorAndRestoreTheOneBefore) {
  const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW), wait = LoadCursorA(nullptr, IDC_WAIT);
  SetCursor(arrow);
  {
    DeviceOperationScope outer;
    EXPECT_EQ(GetCursor(), wait) << "an operation shows the wait cursor";
    {
      DeviceOperationScope inner;
      SetCursor(arrow);  // as a modal window inside the operation does
      WaitServingWindows(20);
      EXPECT_EQ(GetCursor(), wait) << "a wait inside the operation shows it again";
    }
    EXPECT_EQ(GetCursor(), wait) << "the outer operation still runs";
  }
  EXPECT_EQ(GetCursor(), arrow) << "the cursor from before the operation comes back";
  WaitServingWindows(20);
  EXPECT_EQ(GetCursor(), arrow) << "a wait outside an operation leaves the cursor alone";
}

}  // namespace
