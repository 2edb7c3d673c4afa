// The one clock through which every wait of the program goes: the poll
// waits of the protocol (through the socket layer), the pauses between
// polls, sleeps of worker threads and the periods of long window timers.
// Tests install a fake clock so that a 33-second exchange runs in
// milliseconds; the real clock waits exactly as asked.
#pragma once
#include <cstdint>

class Clock {
public:
  virtual ~Clock() = default;
  // Blocks the calling thread for ms milliseconds.
  virtual void Pause(int ms) = 0;
  // Monotonic milliseconds since an arbitrary start.
  virtual int64_t NowMs() = 0;
  // Period to give a window timer that should fire after ms milliseconds.
  virtual unsigned TimerPeriod(unsigned ms) { return ms; }
};

Clock& ActiveClock();
// Installs a clock; nullptr restores the real one. Not thread-safe: tests
// install their clock before the code under test runs.
void SetClock(Clock* clock);

inline void PauseMs(int ms) { ActiveClock().Pause(ms); }

#ifdef _WIN32
// Milliseconds of the performance counter: the real clock's time on Windows.
int64_t PerformanceCounterMs();
#endif
