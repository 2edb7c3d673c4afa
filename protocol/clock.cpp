#include "clock.h"

#ifdef _WIN32
#include <windows.h>

#include "ui_wait.h"
#else
#include <chrono>
#include <thread>
#endif

#ifdef _WIN32
int64_t PerformanceCounterMs() {
  LARGE_INTEGER frequency, count;
  if (!::QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0 || !::QueryPerformanceCounter(&count))
    return static_cast<int64_t>(::GetTickCount());
  // Whole seconds and the remainder apart, so that count * 1000 cannot
  // overflow on a fast counter after a long uptime.
  const int64_t f = frequency.QuadPart, c = count.QuadPart;
  return (c / f) * 1000 + (c % f) * 1000 / f;
}
#endif

namespace {

#ifdef _WIN32
// Waits without a runtime clock and measures with the performance counter:
// both exist on every Windows the release runs on, where the C++ runtime's
// clocks import GetTickCount64 (Vista and later). A pause on the thread of
// the windows keeps them painted and never hung (ui_wait.h).
class RealClock final : public Clock {
public:
  void Pause(int ms) override { WaitServingWindows(ms); }
  int64_t NowMs() override { return PerformanceCounterMs(); }
};
#else
// Waits exactly as asked: steady_clock for time, sleep_for for pauses.
class RealClock final : public Clock {
public:
  void Pause(int ms) override {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }
  int64_t NowMs() override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
};
#endif

Clock& Real() {
  static RealClock clock;
  return clock;
}

Clock* installed = nullptr;

}  // namespace

Clock& ActiveClock() { return installed ? *installed : Real(); }

void SetClock(Clock* clock) { installed = clock; }
