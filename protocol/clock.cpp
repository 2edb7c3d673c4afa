#include "clock.h"

#include <chrono>
#include <thread>

namespace {

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

RealClock& Real() {
  static RealClock clock;
  return clock;
}

Clock* installed = nullptr;

}  // namespace

Clock& TheClock() { return installed ? *installed : Real(); }

void SetClock(Clock* clock) { installed = clock; }
