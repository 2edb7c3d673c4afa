// Waits of the user-interface thread that keep its windows alive (Windows).
//
// The device exchanges, discovery and the add-on flows wait on the thread
// that owns the windows: for a reply, between tries, for a platform call
// that can take seconds. A thread that reads no message for 5 s counts as
// hung, and Windows offers to end the program, which leaves a device half
// changed. So every such wait, made through the clock seam's Pause and the
// socket layer's readiness waits, serves the windows while it waits:
//   - painting (WM_PAINT) and the messages other threads send, which
//     Windows delivers at any message check;
//   - nothing else: timer messages and posted commands stay queued for the
//     message loop, and mouse and keyboard input that reaches the thread's
//     windows is dropped, as for a disabled window, so that no second
//     operation starts inside the first.
// Threads without windows (workers) just wait. The timing is the one asked
// for: a wait ends at its deadline, or for sockets as soon as one is
// readable.
#pragma once
#ifdef _WIN32

#include <cstdint>
#include <cstdio>
#include <string>

// Waits ms milliseconds, serving the thread's windows as above.
void WaitServingWindows(int ms);

// The span of a wait that cannot include the queue (select in slices): the
// waiting mark is set from construction to destruction, and each Serve()
// checks the thread's queue as above and returns at once. On a thread
// without windows it does nothing.
class ServedWait {
public:
  ServedWait();
  ~ServedWait();
  ServedWait(const ServedWait&) = delete;
  ServedWait& operator=(const ServedWait&) = delete;
  void Serve();
  bool Serving() const { return m_serving; }  // the thread has windows

private:
  bool m_serving;
};

// Runs fn(arg) on a short worker thread and waits for its end, serving the
// windows meanwhile: for a platform call that can take seconds. Calls made
// this way keep their order: each starts only after the one before ended.
// Runs fn on this thread when no thread can be started.
void RunServingWindows(void (*fn)(void*), void* arg);
template <typename F>
void RunServingWindows(F& f) {
  RunServingWindows([](void* p) { (*static_cast<F*>(p))(); }, &f);
}
// f() through RunServingWindows; its result.
template <typename F>
auto CallServingWindows(F f) -> decltype(f()) {
  decltype(f()) result{};
  auto run = [&] { result = f(); };
  RunServingWindows(run);
  return result;
}

// Marks that automation (the end-to-end tests' UI driver) reads to tell an
// idle window from a busy one, whose windows answer messages but are not
// settled: the process's events of these names (with its process id). The
// waiting event is set while a wait of this kind runs; the working event
// while a device operation runs (DeviceOperationScope), also in its
// modal windows, where the main window is disabled and the user is asked.
constexpr char kWaitingEventNameFormat[] = "NexoraStorageUtility.Waiting.%lu";
constexpr char kWorkingEventNameFormat[] = "NexoraStorageUtility.Working.%lu";
// The name of the event of a mark's format for the process pid.
inline std::string MarkEventName(const char* format, unsigned long pid) {
  char name[64];
  std::snprintf(name, sizeof name, format, pid);
  return name;
}

// The span of a device operation or a discovery, from construction to
// destruction: the wait cursor (IDC_WAIT) over the program's windows and the
// working mark. Nested scopes count; the outermost restores the cursor found
// at its start. Waits inside the span set the wait cursor again after a
// modal window or input changed it.
class DeviceOperationScope {
public:
  DeviceOperationScope();
  ~DeviceOperationScope();
  DeviceOperationScope(const DeviceOperationScope&) = delete;
  DeviceOperationScope& operator=(const DeviceOperationScope&) = delete;
};

#endif  // _WIN32
