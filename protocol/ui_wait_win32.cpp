#include "ui_wait.h"

#include <windows.h>

#include "clock.h"

namespace {

// Input messages dropped during a wait: keys, the client area's mouse and
// the frame's (non-client) mouse.
struct MessageRange {
  UINT first, last;
};
constexpr MessageRange kDroppedInput[] = {
    {WM_KEYFIRST, WM_KEYLAST},
    {WM_MOUSEFIRST, WM_MOUSELAST},
    {WM_NCMOUSEMOVE, WM_NCMBUTTONDBLCLK},
    {0x00AB, 0x00AD},  // WM_NCXBUTTONDOWN .. WM_NCXBUTTONDBLCLK
};

// WM_PAINT messages dispatched at most in one check of the queue.
constexpr int kPaintsPerCheck = 16;

int waitDepth = 0;  // waits of this kind running on the UI thread
int cursorScopes = 0;  // DeviceOperationScope nesting
HCURSOR savedCursor = nullptr;
HANDLE waitingEvent = nullptr;
HANDLE workingEvent = nullptr;

BOOL CALLBACK FoundWindow(HWND, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return FALSE;  // one is enough
}

// Only a thread that owns windows serves a queue; workers (the web probe,
// the restart wait's stepper, the platform calls below) just wait.
bool ThreadHasWindows() {
  bool found = false;
  ::EnumThreadWindows(::GetCurrentThreadId(), &FoundWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

// Sets or clears the process's event of the name format (made on first use).
void SetMark(HANDLE* event, const char* format, bool on) {
  if (*event == nullptr) {
    const std::string name = MarkEventName(format, ::GetCurrentProcessId());
    *event = ::CreateEventA(nullptr, TRUE, FALSE, name.c_str());
    if (*event == nullptr) return;
  }
  if (on)
    ::SetEvent(*event);
  else
    ::ResetEvent(*event);
}

void SetWaitingMark(bool on) { SetMark(&waitingEvent, kWaitingEventNameFormat, on); }

// The span of one wait on the UI thread (nested waits count once).
void BeginWaitSpan() {
  if (waitDepth++ == 0) SetWaitingMark(true);
  if (cursorScopes > 0) ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
}
void EndWaitSpan() {
  if (--waitDepth == 0) SetWaitingMark(false);
}

void ServeQueue() {
  MSG msg;
  bool dropped = false;
  for (const MessageRange& r : kDroppedInput)
    while (::PeekMessageA(&msg, nullptr, r.first, r.last, PM_REMOVE)) dropped = true;
  // Removing mouse input lets the window under it choose its cursor; the
  // operation keeps the wait cursor.
  if (dropped && cursorScopes > 0) ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
  // Every check also delivers the messages other threads send. Painting is
  // bounded per check: a window that invalidates itself while it paints
  // (a scroll bar following its list) must not hold the wait past its end.
  for (int i = 0; i < kPaintsPerCheck && ::PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++i)
    ::DispatchMessageA(&msg);
}

constexpr DWORD kWakeMask = QS_PAINT | QS_SENDMESSAGE | QS_KEY | QS_MOUSE;

// Waits until handle is signalled (or ms pass; ms < 0: no limit), serving
// the queue. Returns true when the handle was signalled.
bool WaitHandleServing(HANDLE handle, int ms) {
  const DWORD count = handle != nullptr ? 1 : 0;
  const int64_t deadline = PerformanceCounterMs() + ms;
  for (;;) {
    ServeQueue();
    DWORD slice = INFINITE;
    if (ms >= 0) {
      const int64_t left = deadline - PerformanceCounterMs();
      if (left <= 0) return false;
      slice = static_cast<DWORD>(left);
    }
    const DWORD r = ::MsgWaitForMultipleObjects(count, count != 0 ? &handle : nullptr, FALSE, slice, kWakeMask);
    if (count != 0 && r == WAIT_OBJECT_0) return true;
    if (r == WAIT_FAILED) {
      // Nothing to wait on: keep the deadline without the queue.
      if (count != 0) return ::WaitForSingleObject(handle, ms < 0 ? INFINITE : static_cast<DWORD>(ms)) == WAIT_OBJECT_0;
      if (ms > 0) ::Sleep(static_cast<DWORD>(ms));
      return false;
    }
    if (ms >= 0 && r == WAIT_TIMEOUT) return false;
  }
}

struct ThreadCall {
  void (*fn)(void*);
  void* arg;
};

DWORD WINAPI ThreadCallEntry(LPVOID p) {
  const ThreadCall* call = static_cast<const ThreadCall*>(p);
  call->fn(call->arg);
  return 0;
}

}  // namespace

ServedWait::ServedWait() : m_serving(ThreadHasWindows()) {
  if (m_serving) BeginWaitSpan();
}

ServedWait::~ServedWait() {
  if (m_serving) EndWaitSpan();
}

void ServedWait::Serve() {
  if (m_serving) ServeQueue();
}

void WaitServingWindows(int ms) {
  if (ms <= 0) return;
  ServedWait wait;
  if (wait.Serving())
    WaitHandleServing(nullptr, ms);
  else
    ::Sleep(static_cast<DWORD>(ms));
}

void RunServingWindows(void (*fn)(void*), void* arg) {
  ServedWait wait;
  ThreadCall call{fn, arg};
  DWORD id = 0;
  HANDLE thread = wait.Serving() ? ::CreateThread(nullptr, 0, &ThreadCallEntry, &call, 0, &id) : nullptr;
  if (thread == nullptr) {
    fn(arg);  // a worker thread, or no thread to be had
    return;
  }
  WaitHandleServing(thread, -1);
  ::CloseHandle(thread);
}

DeviceOperationScope::DeviceOperationScope() {
  if (cursorScopes++ == 0) {
    SetMark(&workingEvent, kWorkingEventNameFormat, true);
    savedCursor = ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
  }
}

DeviceOperationScope::~DeviceOperationScope() {
  if (--cursorScopes == 0) {
    ::SetCursor(savedCursor != nullptr ? savedCursor : ::LoadCursorA(nullptr, IDC_ARROW));
    SetMark(&workingEvent, kWorkingEventNameFormat, false);
  }
}
